// FDAttributeInspector: the attribute pane's model: which properties the selection offers, reading and writing them.
#pragma once

#include "FDFontAttributes.h"
#include "Value.h"

#include <QPointer>
#include <QString>

class FDCanvas;

class FDAttributeInspector {
public:
    // What the pane shows instead of editors, or nothing ("") when it shows the properties.
    static inline const QString kNoSelection = QStringLiteral("No Selection");
    static inline const QString kMultipleControls = QStringLiteral("Multiple Controls");
    static inline const QString kNoAttributes = QStringLiteral("No Attributes");
    // The value an integer read answers for a property the control does not have.
    static constexpr int kMissingInteger = -23;

    explicit FDAttributeInspector(FDCanvas *canvas) : m_canvas(canvas) {}

    // Whether a property of a class holds an attributed string (the inspector edits its characters as text).
    static bool isAttributedString(const QString &className, const QString &key);

    QString placeholderText() const;
    // The properties of the selected control's class (an array of property dictionaries); null when none.
    Value properties() const;
    // The editor caption: the property's "Label" and ":".
    static QString labelFor(const Value &property);
    // The selected control's value of a property, read as the property's type.
    Value valueOf(const Value &property) const;
    // Applies an editor's value to every selected control, converted by the property's "Type".
    void apply(const Value &property, const Value &editorValue);

    // The font panel: shown when a selected control has text; it shows the first such control's font and
    // writes the changed parts into every selected control that has text.
    bool showsFont() const;
    FDFontAttributes font() const;
    void applyFont(const FDFontAttributes &font, int fields);

    // The inspector's label field edits "Label Text" of the selection.
    QString labelText() const;
    void setLabelText(const QString &text);

private:
    QPointer<FDCanvas> m_canvas;
};
