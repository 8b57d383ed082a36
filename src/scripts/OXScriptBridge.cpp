// OXScriptBridge: the xw functions; each checks its inputs and answers null instead of raising into the script.
#include "OXScriptBridge.h"

#include "LMReportDocument.h"
#include "LMReportParser.h"
#include "LMReportPrintableMailMerge.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXFormScriptHost.h"
#include "OXJavascriptRunController.h"
#include "OXScriptValues.h"
#include "Preferences.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "Ui.h"

#include <QApplication>
#include <QDebug>
#include <QJSEngine>
#include <QMetaMethod>
#include <QTextDocument>
#include <QWidget>

#include <cmath>

using OXScriptValues::checkString;

namespace {
const QString prefPrefix = QStringLiteral("XWPREF_");
const QString formGlobalPrefix = QStringLiteral("OXFORMGLOBAL_");
// xwRunScript_ chains deeper than this are refused: a script that runs itself would exhaust the stack.
constexpr int maximumNesting = 16;
} // namespace

OXScriptBridge::OXScriptBridge(OXJavascriptRunController &controller, QJSEngine &engine)
    : m_controller(controller), m_engine(engine)
{
}

QStringList OXScriptBridge::functionNames()
{
    QStringList names;
    const QMetaObject &meta = staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.methodType() == QMetaMethod::Method && method.name().startsWith("xw"))
            names.append(QString::fromLatin1(method.name()));
    }
    return names;
}

void OXScriptBridge::install()
{
    // Each wrapper calls the host with exactly its own number of parameters; the host is a closure variable,
    // and no Function.prototype method is used, so a script cannot capture it.
    QString source = QStringLiteral("(function(host) { var bridge = {};\n");
    for (const QString &name : functionNames()) {
        const int arity = int(name.count(QLatin1Char('_')));
        QStringList parameters;
        for (int i = 0; i < arity; ++i)
            parameters.append(QStringLiteral("a%1").arg(i));
        const QString list = parameters.join(QStringLiteral(", "));
        source += QStringLiteral("bridge.%1 = function(%2) { return host.%1(%2); };\n").arg(name, list);
    }
    source += QStringLiteral("return Object.freeze(bridge); })");
    QJSValue factory = m_engine.evaluate(source);
    QJSValue host = m_engine.newQObject(this);
    QJSEngine::setObjectOwnership(this, QJSEngine::CppOwnership);
    m_engine.globalObject().setProperty(QStringLiteral("OrvixController"), factory.call({host}));
}

MyDocument *OXScriptBridge::document() const
{
    return m_controller.document();
}

OXDatabase *OXScriptBridge::database() const
{
    MyDocument *doc = document();
    return doc && !doc->isClosed() ? doc->database() : nullptr;
}

QWidget *OXScriptBridge::window() const
{
    MyDocument *doc = document();
    return doc ? doc->window() : nullptr;
}

bool OXScriptBridge::hasTable(const QString &table) const
{
    OXDatabase *db = database();
    return db && !table.isEmpty() && db->tablesList().contains(table);
}

QString OXScriptBridge::idText(const QJSValue &id, const QString &missing) const
{
    if (OXScriptValues::isNullish(id))
        return missing;
    if (id.isNumber() || id.isString())
        return checkString(id);
    return missing;
}

QJSValue OXScriptBridge::nativeScriptValue(const Value &cell, const QString &table, const QString &field) const
{
    // Cells come back as stored text; the script sees the field's native value.
    const Value native = cell.isString() ? database()->dbToNativeForTable(cell.toString(), table, field) : cell;
    return OXScriptValues::toScriptValue(m_engine, native);
}

// --- Dialogs, console and application.

void OXScriptBridge::xwAlert__(const QJSValue &title, const QJSValue &message)
{
    Ui::instance().runAlert(Alert::make(checkString(title), checkString(message)), window());
}

QJSValue OXScriptBridge::xwChoiceAlert_____(const QJSValue &title, const QJSValue &message, const QJSValue &first,
                                            const QJSValue &second, const QJSValue &third)
{
    static const QStringList results{QStringLiteral("Default"), QStringLiteral("Secondary"), QStringLiteral("Third")};
    // Empty button texts are left out; the answer still names the position the script gave.
    QStringList buttons;
    QList<int> positions;
    const QJSValue given[] = {first, second, third};
    for (int i = 0; i < 3; ++i) {
        const QString text = checkString(given[i]);
        if (!text.isEmpty()) {
            buttons.append(text);
            positions.append(i);
        }
    }
    if (buttons.isEmpty()) {
        buttons.append(QStringLiteral("OK"));
        positions.append(0);
    }
    const int pressed =
        Ui::instance().runAlert(Alert::make(checkString(title), checkString(message), buttons), window());
    if (pressed < 0 || pressed >= positions.size())
        return QStringLiteral("Error");
    return results[positions[pressed]];
}

void OXScriptBridge::xwLog_(const QJSValue &text)
{
    const QString line = checkString(text);
    if (!line.isEmpty() && m_controller.logView())
        m_controller.logView()->logToConsole(line);
}

void OXScriptBridge::xwPrint_(const QJSValue &text)
{
    const QString chars = checkString(text);
    if (!chars.isEmpty() && m_controller.logView())
        m_controller.logView()->printToConsole(chars);
}

void OXScriptBridge::xwQuit()
{
    // Queued: the script finishes first, and the application leaves from its event loop.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void OXScriptBridge::xwHide()
{
    if (qobject_cast<QApplication *>(qApp))
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->isWindow())
                widget->showMinimized();
}

void OXScriptBridge::xwHideOthers()
{
    // Other applications' windows are the window manager's; there is nothing this program may hide.
}

void OXScriptBridge::xwBringToFront()
{
    if (QWidget *w = window()) {
        w->raise();
        w->activateWindow();
    }
}

void OXScriptBridge::xwClose_(const QJSValue &save)
{
    if (save.toBool())
        xwSave();
    if (QWidget *w = window())
        QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
}

void OXScriptBridge::xwSave()
{
    MyDocument *doc = document();
    if (doc && !doc->path().isEmpty())
        doc->save(doc->path());
}

void OXScriptBridge::xwMinimize()
{
    if (QWidget *w = window())
        w->showMinimized();
}

void OXScriptBridge::xwDeminimize()
{
    if (QWidget *w = window())
        w->showNormal();
}

void OXScriptBridge::xwZoom()
{
    if (QWidget *w = window())
        w->isMaximized() ? w->showNormal() : w->showMaximized();
}

QJSValue OXScriptBridge::xwOrvixVersion()
{
    const QString version = QStringLiteral(ORVIX_VERSION);
    return version.isEmpty() ? null() : QJSValue(version);
}

// --- Preferences.

QJSValue OXScriptBridge::xwSetPreference__(const QJSValue &key, const QJSValue &value)
{
    const QString name = checkString(key);
    if (name.isEmpty())
        return null();
    if (OXScriptValues::isNullish(value)) {
        Preferences::instance().removeValue(prefPrefix + name);
        return true;
    }
    const QString text = checkString(value);
    if (text.isEmpty())
        return null();
    Preferences::instance().setValue(prefPrefix + name, text);
    return true;
}

QJSValue OXScriptBridge::xwGetPreference_(const QJSValue &key)
{
    const QString name = checkString(key);
    if (name.isEmpty() || !Preferences::instance().hasUserValue(prefPrefix + name))
        return null();
    return Preferences::instance().stringValue(prefPrefix + name);
}

// --- Data.

QJSValue OXScriptBridge::xwTableNames()
{
    OXDatabase *db = database();
    return OXScriptValues::stringList(m_engine, db ? db->tablesList() : QStringList());
}

QJSValue OXScriptBridge::xwFieldNamesForTable_(const QJSValue &table)
{
    const QString name = checkString(table);
    if (!hasTable(name))
        return null();
    return OXScriptValues::stringList(m_engine, database()->namesForTable(name));
}

QJSValue OXScriptBridge::xwRowCountForTable_(const QJSValue &table)
{
    const QString name = checkString(table);
    if (!hasTable(name))
        return null();
    return double(database()->rowCountInTable(name));
}

QJSValue OXScriptBridge::xwTypeForTableField__(const QJSValue &table, const QJSValue &field)
{
    const QString tableName = checkString(table), fieldName = checkString(field);
    if (fieldName.isEmpty() || !hasTable(tableName))
        return null();
    const QString type = database()->typeForTable(tableName, fieldName);
    return type.isEmpty() ? null() : QJSValue(type);
}

QJSValue OXScriptBridge::xwDatatypeForTable_field_(const QJSValue &table, const QJSValue &field)
{
    return xwTypeForTableField__(table, field);
}

QJSValue OXScriptBridge::xwIndexOfID__(const QJSValue &table, const QJSValue &id)
{
    const QString name = checkString(table);
    if (!hasTable(name))
        return null();
    const QString wanted = idText(id, QStringLiteral("0"));
    auto cursor = database()->executeQuery(QStringLiteral("SELECT id FROM `%1`").arg(name));
    if (!cursor)
        return null();
    const QString column = name + QStringLiteral(".id");
    for (quint32 row = 0; row < cursor->rowCount(); ++row)
        if (cursor->rowAtIndex(row)->stringForColumn(column) == wanted)
            return double(row);
    return null();
}

QJSValue OXScriptBridge::xwIDAtIndex__(const QJSValue &table, const QJSValue &index)
{
    const QString name = checkString(table);
    if (!hasTable(name) || !index.isNumber())
        return null();
    const double position = index.toNumber();
    auto cursor = database()->executeQuery(QStringLiteral("SELECT `id` FROM `%1`").arg(name));
    if (!cursor || position < 0 || position >= double(cursor->rowCount()) || position != std::trunc(position))
        return null();
    const QString id = cursor->rowAtIndex(quint32(position))->stringForColumn(name + QStringLiteral(".id"));
    return id.isEmpty() ? null() : QJSValue(id);
}

QJSValue OXScriptBridge::xwDataValuesArray__(const QJSValue &table, const QJSValue &field)
{
    const QString tableName = checkString(table), fieldName = checkString(field);
    if (fieldName.isEmpty() || !hasTable(tableName) || !database()->namesForTable(tableName).contains(fieldName))
        return null();
    auto cursor = database()->executeQuery(QStringLiteral("SELECT `%1` FROM `%2`").arg(fieldName, tableName));
    if (!cursor || cursor->rowCount() == 0)
        return null();
    const QString column = tableName + QLatin1Char('.') + fieldName;
    QJSValue values = m_engine.newArray(cursor->rowCount());
    for (quint32 row = 0; row < cursor->rowCount(); ++row)
        values.setProperty(row, nativeScriptValue(cursor->valueForColumn(column, row), tableName, fieldName));
    return values;
}

QJSValue OXScriptBridge::xwDataValue___(const QJSValue &table, const QJSValue &field, const QJSValue &id)
{
    const QString tableName = checkString(table), fieldName = checkString(field);
    if (!hasTable(tableName) || database()->typeForTable(tableName, fieldName).isEmpty())
        return null();
    const QString row = QLiteDatabase::prepareStringForQuery(idText(id, QStringLiteral("1")));
    auto cursor = database()->executeQuery(
        QStringLiteral("SELECT `%1` FROM `%2` WHERE `id`='%3'").arg(fieldName, tableName, row));
    if (!cursor || cursor->rowCount() == 0)
        return null();
    return nativeScriptValue(cursor->valueForColumn(tableName + QLatin1Char('.') + fieldName, 0), tableName, fieldName);
}

void OXScriptBridge::xwSetDataValue____(const QJSValue &table, const QJSValue &field, const QJSValue &id,
                                        const QJSValue &value)
{
    const QString tableName = checkString(table), fieldName = checkString(field);
    if (!hasTable(tableName) || !database()->namesForTable(tableName).contains(fieldName))
        return;
    const QString row = idText(id, QStringLiteral("0"));
    // A refused value (a failed check) is not written; the refusal is not raised into the script.
    if (!database()->insertNativeValue(OXScriptValues::fromScriptValue(value), tableName, fieldName, row))
        document()->setChanged(true);
}

void OXScriptBridge::xwAddRowAtEnd_(const QJSValue &table)
{
    const QString name = checkString(table);
    if (!hasTable(name))
        return;
    database()->executeQuery(QStringLiteral("INSERT INTO `%1` (`id`) VALUES (NULL)").arg(name));
    document()->setChanged(true);
}

void OXScriptBridge::xwRemoveRowWithID__(const QJSValue &table, const QJSValue &id)
{
    qDebug().noquote() << QStringLiteral("xwRemoveRowWithID:'%1' :'%2'").arg(table.toString(), id.toString());
    const QString name = checkString(table), row = idText(id, QString());
    if (name.isEmpty() || row.isEmpty() || !hasTable(name))
        return;
    if (database()->deleteFromTable(name, row))
        document()->setChanged(true);
}

// --- Reports and scripts.

QJSValue OXScriptBridge::xwEvaluateFormula__(const QJSValue &, const QJSValue &text)
{
    const QString formula = checkString(text);
    if (formula.isEmpty() || !database())
        return null();
    QTextDocument source;
    source.setPlainText(formula);
    const std::unique_ptr<QTextDocument> result = LMReportParser::parseTextStorage(source, QString(), *database());
    return result ? QJSValue(result->toPlainText()) : null();
}

void OXScriptBridge::xwPrintReport_(const QJSValue &name)
{
    const QString reportName = checkString(name);
    MyDocument *doc = document();
    if (reportName.isEmpty() || !doc || !database())
        return;
    const Value report = MyDocument::itemNamed(doc->reports(), reportName);
    if (!report.isDict())
        return;
    const std::unique_ptr<QTextDocument> source = LMReportDocument::templateForReport(report);
    const std::unique_ptr<QTextDocument> evaluated =
        LMReportDocument::evaluate(*source, LMReportDocument::contentTable(report), *database());
    if (evaluated)
        LMReportPrintableMailMerge(report, *evaluated).printReport(window());
}

void OXScriptBridge::xwRunScript_(const QJSValue &name)
{
    const QString scriptName = checkString(name);
    MyDocument *doc = document();
    if (scriptName.isEmpty() || !doc || !doc->scriptNamed(scriptName).isDict())
        return;
    if (m_controller.nesting() >= maximumNesting)
        return;
    auto inner = OXJavascriptRunController::withScriptName(scriptName, doc);
    inner->setLogView(m_controller.logView());
    inner->setNesting(m_controller.nesting() + 1);
    inner->run();
}

// --- Forms. The shown record and the controls come from the form host data entry gives the run controller.

Value OXScriptBridge::formDesign() const
{
    MyDocument *doc = document();
    if (!doc || m_controller.formName().isEmpty())
        return Value();
    return doc->formNamed(m_controller.formName());
}

QJSValue OXScriptBridge::xwFormName()
{
    return formDesign().isDict() ? QJSValue(m_controller.formName()) : null();
}

QJSValue OXScriptBridge::xwFormContentTable()
{
    const Value form = formDesign();
    if (!form.isDict())
        return null();
    const QString table = form.value(QStringLiteral("Content Table")).toString();
    return table.isEmpty() ? null() : QJSValue(table);
}

QJSValue OXScriptBridge::xwFormCurrentRowid()
{
    OXFormScriptHost *host = m_controller.formHost();
    return host && !host->currentRowid().isEmpty() ? QJSValue(host->currentRowid()) : null();
}

QJSValue OXScriptBridge::xwFormCurrentLastEditedField()
{
    OXFormScriptHost *host = m_controller.formHost();
    return host && !host->lastEditedField().isEmpty() ? QJSValue(host->lastEditedField()) : null();
}

void OXScriptBridge::xwFormSetGlobal__(const QJSValue &name, const QJSValue &value)
{
    Value form = formDesign();
    const QString key = checkString(name);
    if (!form.isDict() || key.isEmpty())
        return;
    if (OXScriptValues::isNullish(value)) {
        form.remove(formGlobalPrefix + key);
    } else {
        const QString text = checkString(value);
        if (text.isEmpty())
            return;
        form.set(formGlobalPrefix + key, text);
    }
    document()->setChanged(true);
}

QJSValue OXScriptBridge::xwFormGetGlobal_(const QJSValue &name)
{
    const Value form = formDesign();
    const QString key = checkString(name);
    if (!form.isDict() || key.isEmpty() || !form.contains(formGlobalPrefix + key))
        return null();
    return OXScriptValues::toScriptValue(m_engine, form.value(formGlobalPrefix + key));
}

QJSValue OXScriptBridge::xwFormControlValue_(const QJSValue &control)
{
    OXFormScriptHost *host = m_controller.formHost();
    const std::optional<Value> value = host ? host->controlValue(checkString(control)) : std::nullopt;
    return value ? OXScriptValues::toScriptValue(m_engine, *value) : null();
}

void OXScriptBridge::xwFormSetControlValue__(const QJSValue &control, const QJSValue &value)
{
    if (OXFormScriptHost *host = m_controller.formHost())
        host->setControlValue(checkString(control), OXScriptValues::fromScriptValue(value));
}

QJSValue OXScriptBridge::xwFormGetControlAttribute__(const QJSValue &control, const QJSValue &attribute)
{
    OXFormScriptHost *host = m_controller.formHost();
    const std::optional<Value> value =
        host ? host->controlAttribute(checkString(control), checkString(attribute)) : std::nullopt;
    return value ? OXScriptValues::toScriptValue(m_engine, *value) : null();
}

void OXScriptBridge::xwFormSetControlAttribute___(const QJSValue &control, const QJSValue &attribute,
                                                  const QJSValue &value)
{
    if (OXFormScriptHost *host = m_controller.formHost())
        host->setControlAttribute(checkString(control), checkString(attribute), OXScriptValues::fromScriptValue(value));
}

QJSValue OXScriptBridge::xwFormCurrentValueForField_(const QJSValue &)
{
    return null();
}

void OXScriptBridge::xwFormCurrentSetValueForField__(const QJSValue &, const QJSValue &) {}
