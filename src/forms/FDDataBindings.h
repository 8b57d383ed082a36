// FDDataBindings: the data pane's model: binding the selected controls' four paths to fields of the content table.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>

class FDCanvas;
class OXDatabase;

class FDDataBindings {
public:
    static inline const QString kNone = QStringLiteral("None");

    FDDataBindings(FDCanvas *canvas, OXDatabase *database) : m_canvas(canvas), m_database(database) {}

    // "None", a separator (""), then every field name of the content table.
    QStringList choices() const;
    bool isEnabled() const;
    // The selected control's binding of `pathKey` ("Value Path", ...), kNone when unbound.
    QString binding(const QString &pathKey) const;
    // Binds every selected control; kNone (or the separator) unbinds.
    void bind(const QString &pathKey, const QString &field);

private:
    QPointer<FDCanvas> m_canvas;
    OXDatabase *m_database = nullptr;
};
