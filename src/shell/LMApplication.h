// LMApplication: the open documents and the application's menu actions, each forwarded to the frontmost
// document window; new, open, recent documents and quit.
#pragma once

#include "LMViewRegistry.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class LMDocumentWindow;

class LMApplication : public QObject {
    Q_OBJECT
public:
    explicit LMApplication(QObject *parent = nullptr);
    ~LMApplication() override;

    // Windows are shown unless this is off (tests drive them hidden).
    void setShowsWindows(bool shows) { m_showsWindows = shows; }

    // The views every window of this application opens: the shell's and each feature library's.
    const LMViewRegistry &viewRegistry() const { return m_viewRegistry; }

    LMDocumentWindow *newDocument();
    // Opens a package, or brings its window forward when it is open already; null (after an alert) on failure.
    LMDocumentWindow *openDocument(const QString &path);
    // A ".csv" or ".tsv" file: a new document whose window runs the import sheet on it.
    LMDocumentWindow *openImportedFile(const QString &path);
    // The open panel, picking a package folder as one item.
    void openDocumentPanel();
    // Closes every window, asking about each document with unsaved changes; false when the user cancelled.
    bool closeAll();
    void quit();

    QList<LMDocumentWindow *> windows() const;
    LMDocumentWindow *frontmostWindow() const;

    // The application commands ("New_Object__Table:", "Clean_Database:", …); false when there is no document
    // or no such action.
    bool perform(const QString &action);
    static QStringList actions();
    // setCacheLevel: stores the tag (0, 1 or 2) as "LMCacheMethod".
    void setCacheLevel(int tag);

    QStringList recentDocuments() const;
    void noteRecentDocument(const QString &path);
    void clearRecentDocuments();

signals:
    void recentDocumentsChanged();

private:
    LMDocumentWindow *adopt(LMDocumentWindow *window);
    LMViewRegistry m_viewRegistry;
    QList<QPointer<LMDocumentWindow>> m_windows;
    bool m_showsWindows = true;
};
