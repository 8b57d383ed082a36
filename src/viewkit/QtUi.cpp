// QtUi: QMessageBox and QFileDialog behind the Ui seam.
#include "QtUi.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

int QtUi::runAlert(const Alert &alert, QWidget *window)
{
    return runSuppressibleAlert(alert, nullptr, window);
}

int QtUi::runSuppressibleAlert(const Alert &alert, bool *suppressed, QWidget *window)
{
    QMessageBox box(window);
    box.setText(alert.messageText);
    box.setInformativeText(alert.informativeText);
    switch (alert.style) {
    case Alert::Style::Warning: box.setIcon(QMessageBox::Warning); break;
    case Alert::Style::Informational: box.setIcon(QMessageBox::Information); break;
    case Alert::Style::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    if (window) {
        box.setWindowModality(Qt::WindowModal);
        box.setWindowTitle(window->window()->windowTitle());
    }
    QList<QAbstractButton *> buttons;
    for (int i = 0; i < alert.buttons.size(); ++i) {
        // The first button is the default, as on the platform; "Cancel" answers Escape.
        const QString &title = alert.buttons.at(i);
        const auto role = title == QLatin1String("Cancel") ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        QPushButton *b = box.addButton(title, role);
        if (i == 0)
            box.setDefaultButton(b);
        if (role == QMessageBox::RejectRole)
            box.setEscapeButton(b);
        buttons.append(b);
    }
    QCheckBox *check = nullptr;
    if (!alert.suppressionText.isEmpty()) {
        check = new QCheckBox(alert.suppressionText);
        box.setCheckBox(check);
    }
    box.exec();
    if (suppressed)
        *suppressed = check && check->isChecked();
    const int index = int(buttons.indexOf(box.clickedButton()));
    return index < 0 ? int(alert.buttons.indexOf(QStringLiteral("Cancel"))) : index;
}

void QtUi::beep()
{
    QApplication::beep();
}

namespace {
// A file dialog in which a folder that matches the name filters ("*.orvix") is a document package, chosen like a
// file: opening it (Open button or double-click) takes it instead of entering it.
class PackageFileDialog : public QFileDialog {
public:
    PackageFileDialog(QWidget *parent, const QString &title, const QString &directory, const QStringList &filters)
        : QFileDialog(parent, title, directory)
    {
        // "Documents (*.orvix *.csv)": the patterns between the parentheses.
        static const QRegularExpression patterns(QStringLiteral("\\(([^)]*)\\)"));
        for (const QString &filter : filters) {
            const QRegularExpressionMatch match = patterns.match(filter);
            for (const QString &pattern :
                 (match.hasMatch() ? match.captured(1) : filter).split(u' ', Qt::SkipEmptyParts))
                m_packages << QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive);
        }
        // The platform's own dialog cannot be taught packages.
        setOption(QFileDialog::DontUseNativeDialog, !m_packages.isEmpty());
        connect(this, &QFileDialog::directoryEntered, this, [this](const QString &path) {
            if (isPackage(path))
                choose(path);
        });
    }
    QStringList chosen() const { return m_chosen.isEmpty() ? selectedFiles() : QStringList{m_chosen}; }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (fileMode() != QFileDialog::Directory && files.size() == 1 && isPackage(files.first()))
            choose(files.first());
        else
            QFileDialog::accept();
    }

private:
    bool isPackage(const QString &path) const
    {
        const QFileInfo info(path);
        if (!info.isDir() || info.suffix().isEmpty())
            return false;
        for (const QRegularExpression &pattern : m_packages)
            if (pattern.match(info.fileName()).hasMatch())
                return true;
        return false;
    }
    void choose(const QString &path)
    {
        m_chosen = QFileInfo(path).absoluteFilePath();
        QDialog::accept();
    }

    QList<QRegularExpression> m_packages;
    QString m_chosen;
};
} // namespace

QStringList QtUi::runOpenPanel(const FilePanelOptions &o, QWidget *window)
{
    PackageFileDialog dialog(window, o.title, o.directory, o.chooseDirectories ? QStringList() : o.nameFilters);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (o.chooseDirectories) {
        // Packages are directories: let the user pick one as a single item.
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, false);
    } else {
        dialog.setFileMode(o.allowMultiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (!o.nameFilters.isEmpty())
        dialog.setNameFilters(o.nameFilters);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosen();
}

QString QtUi::runSavePanel(const FilePanelOptions &o, QWidget *window)
{
    QFileDialog dialog(window, o.title, o.directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!o.suggestedName.isEmpty())
        dialog.selectFile(o.suggestedName);
    if (!o.nameFilters.isEmpty())
        dialog.setNameFilters(o.nameFilters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool QtUi::isNewTabModifierHeld()
{
    return QApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

bool QtUi::isAlternateModifierHeld()
{
    return QApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier);
}

std::optional<QString> QtUi::runTextInput(const TextInputOptions &options, QWidget *window)
{
    QDialog dialog(window);
    dialog.setWindowTitle(options.title);
    if (window)
        dialog.setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(&dialog);
    if (!options.label.isEmpty())
        layout->addWidget(new QLabel(options.label));
    auto *field = new QLineEdit(options.text);
    if (options.secret)
        field->setEchoMode(QLineEdit::Password);
    field->selectAll();
    layout->addWidget(field);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(options.acceptButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(options.cancelButton, QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return field->text();
}
