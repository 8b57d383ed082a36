// OXSyntaxHighlighterController: sets up colouring for one script editor (font, colour defaults, engine).
#pragma once

#include "SMLSyntaxColouring.h"

#include <QString>
#include <QVariant>

#include <memory>

class QPlainTextEdit;

class OXSyntaxHighlighterController : public SMLSyntaxColouringHost {
public:
    explicit OXSyntaxHighlighterController(QPlainTextEdit *textView);
    ~OXSyntaxHighlighterController() override;

    // The editor font, the colour defaults every editor writes, and the engine.
    void awakeFromNib();
    // Recolours the whole text.
    void highlight();
    // After an edit: the visible lines.
    void textStorageDidProcessEditing();
    // "firstTextView" and "isSyntaxColoured"; nothing for other keys.
    QVariant valueForKey(const QString &key) const;

    QPlainTextEdit *firstTextView() const override { return m_textView; }
    bool isSyntaxColoured() const override { return true; }
    SMLSyntaxColouring *engine() const { return m_engine.get(); }

    // The font every editor and the engine use unless the user chose one.
    static QString defaultFontName();
    // Registers the editor's defaults and, when they are missing, applies the "Default" colour preset and the
    // default style; every editor's set-up calls it first.
    static void registerEditorDefaults();
    // Stores the colours of a preset ("Default" or "Xcode", "TextMate") under the "LMForm_Color_" keys.
    static bool setHighlightingStyle(const QString &name);

private:
    QPlainTextEdit *m_textView = nullptr;
    std::unique_ptr<SMLSyntaxColouring> m_engine;
};
