// orvix-cli commands over data safety: tidy (leftovers of killed programs and interrupted saves).
#include "CliRegistry.h"

#include "PackageFiles.h"
#include "PackageWriter.h"

#include <QFileInfo>

namespace {
int runTidy(CliContext &cli, const QStringList &args)
{
    // Also done at every start; the command reports what it found.
    const int copies = PackageFiles::removeStaleWorkingCopies();
    cli.out() << "working copies removed: " << copies << "\n";
    for (const QString &package : args) {
        const QString path = PackageFiles::expandTilde(package);
        const bool had = PackageWriter::hasLeftovers(path);
        if (had && !PackageWriter::recoverInterruptedSave(path))
            return cli.fail(QStringLiteral("The document \"%1\" is in use by another program; try again when it is "
                                           "done.")
                                .arg(QFileInfo(path).fileName()));
        cli.out() << package << ": " << (had ? "interrupted save cleaned up" : "nothing to clean up") << "\n";
    }
    cli.out().flush();
    return 0;
}

const CliRegistration registration({
    {"tidy", "[PACKAGE]...",
     "remove the working copies of programs that ended without closing, and put right what interrupted saves\nleft "
     "beside each PACKAGE",
     0, -1, runTidy},
});
} // namespace
