// OXSyntaxPrefController: colour styles of the script editor (style files, the current style, its entries).
#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The pane's behaviour without its widgets; the class operations are what the colouring engine reads.
class OXSyntaxPrefController : public QObject {
    Q_OBJECT
public:
    // The ten colour titles in the order of the pane's table.
    static const QStringList &colourTitles();
    // "OXSyntax " + title: the key of a title's entry in a style.
    static QString entryKey(const QString &title);
    // The notification name posted whenever the current style changes.
    static QString coloursChangedNotification();

    // The current style ("OXSyntaxHighlighting"), a dictionary of entries.
    static QVariantMap currentStyle();
    static void setCurrentStyle(const QVariantMap &style);

    // A title's colour in the current style (or in `style`), with the fallbacks for missing entries.
    static QColor colorForTitle(const QString &title, bool foreground);
    static QColor colorForTitle(const QVariantMap &style, const QString &title, bool foreground);
    // "%f %f %f %f" text of a colour, and back: missing values count as 0, black becomes 0.001 grey, and text
    // that reads as no number at all gives 0.001 grey with alpha 0 (`readable` false).
    static QColor rgbaStringToColor(const QString &text, bool *readable = nullptr);
    static QString colorToRgbaString(const QColor &color);

    static QString defaultStyleName();
    static QString appSupportDir();
    static QString resourcesStylesDir();
    static bool createDirectories();
    // The resource folder's style files, then the user's; hidden names are left out.
    static QStringList styleNames();
    // The user's file when it exists, else the resource file, else empty.
    static QString pathOfStyleNamed(const QString &name);
    // Makes the named style current when it is listed and reads as a non-empty dictionary.
    static bool setStyleNamed(const QString &name);
    // A style file's dictionary; empty when it cannot be read.
    static QVariantMap readStyleFile(const QString &path);
    static bool writeStyleFile(const QVariantMap &style, const QString &path);

    explicit OXSyntaxPrefController(QObject *parent = nullptr);

    void setColor(const QColor &color, const QString &title, bool foreground);
    bool textAttribute(const QString &attribute, const QString &title) const;
    void setTextAttribute(const QString &attribute, bool on, const QString &title);
    // Every title's foreground and background become their inverses.
    void invert();
    // Turns the hue of every foreground colour by `degrees`.
    void hue(int degrees);
    // The on/off check box: on applies the default style; off offers to save changes and applies "Blank".
    // Answers whether the switch took effect (false: the box goes back).
    bool enableButton(bool on);
    // Choosing a style from the menu: offers to save changes, then applies it.
    void themeMenuButton(const QString &name);
    // Import: copies the file into the user folder and applies it; export writes the current style.
    bool importStyle(const QString &path);
    bool exportStyle(const QString &path);
    // Both through the open and save panels.
    void importExport(bool import);
    // Offers to save unsaved changes; answers whether the caller goes on with what it was doing.
    bool forkCurrentStyle(bool allowCancel);
    void setHasChangedColors(bool changed);
    static bool hasChangedColors();
    // Whether colouring is on: the current style is not "Blank".
    static bool isColouringOn();

    // The window of sheets shown by the pane.
    void setWindow(QWidget *window) { m_window = window; }

signals:
    void refreshTable();

private:
    void changeEntry(const QString &title, const QString &key, const QVariant &value);
    void changed();

    QWidget *m_window = nullptr;
};
