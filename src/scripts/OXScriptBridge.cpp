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
#include <type_traits>

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

template <class Work> auto OXScriptBridge::host(Work &&work) -> decltype(work())
{
    using Result = decltype(work());
    if constexpr (std::is_void_v<Result>) {
        m_controller.onHost(work);
    } else {
        Result result{};
        m_controller.onHost([&] { result = work(); });
        return result;
    }
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

QJSValue OXScriptBridge::scriptValue(const std::optional<Value> &value) const
{
    return value ? OXScriptValues::toScriptValue(m_engine, *value) : null();
}

// --- Dialogs, console and application.

void OXScriptBridge::xwAlert__(const QJSValue &title, const QJSValue &message)
{
    const Alert alert = Alert::make(checkString(title), checkString(message));
    host([&] { Ui::instance().runAlert(alert, window()); });
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
    const Alert alert = Alert::make(checkString(title), checkString(message), buttons);
    const int pressed = host([&] { return Ui::instance().runAlert(alert, window()); });
    if (pressed < 0 || pressed >= positions.size())
        return QStringLiteral("Error");
    return results[positions[pressed]];
}

void OXScriptBridge::xwLog_(const QJSValue &text)
{
    const QString line = checkString(text);
    if (line.isEmpty())
        return;
    host([&] {
        if (m_controller.logView())
            m_controller.logView()->logToConsole(line);
    });
}

void OXScriptBridge::xwPrint_(const QJSValue &text)
{
    const QString chars = checkString(text);
    if (chars.isEmpty())
        return;
    host([&] {
        if (m_controller.logView())
            m_controller.logView()->printToConsole(chars);
    });
}

void OXScriptBridge::xwQuit()
{
    // Queued: the script finishes first, and the application leaves from its event loop.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void OXScriptBridge::xwHide()
{
    host([] {
        if (qobject_cast<QApplication *>(qApp))
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (widget->isWindow())
                    widget->showMinimized();
    });
}

void OXScriptBridge::xwHideOthers()
{
    // Other applications' windows are the window manager's; there is nothing this program may hide.
}

void OXScriptBridge::xwBringToFront()
{
    host([this] {
        if (QWidget *w = window()) {
            w->raise();
            w->activateWindow();
        }
    });
}

void OXScriptBridge::xwClose_(const QJSValue &save)
{
    if (save.toBool())
        xwSave();
    host([this] {
        if (QWidget *w = window())
            QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
    });
}

void OXScriptBridge::xwSave()
{
    host([this] {
        MyDocument *doc = document();
        if (doc && !doc->path().isEmpty())
            doc->save(doc->path());
    });
}

void OXScriptBridge::xwMinimize()
{
    host([this] {
        if (QWidget *w = window())
            w->showMinimized();
    });
}

void OXScriptBridge::xwDeminimize()
{
    host([this] {
        if (QWidget *w = window())
            w->showNormal();
    });
}

void OXScriptBridge::xwZoom()
{
    host([this] {
        if (QWidget *w = window())
            w->isMaximized() ? w->showNormal() : w->showMaximized();
    });
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
        host([&] { Preferences::instance().removeValue(prefPrefix + name); });
        return true;
    }
    const QString text = checkString(value);
    if (text.isEmpty())
        return null();
    host([&] { Preferences::instance().setValue(prefPrefix + name, text); });
    return true;
}

QJSValue OXScriptBridge::xwGetPreference_(const QJSValue &key)
{
    const QString name = checkString(key);
    if (name.isEmpty())
        return null();
    const std::optional<Value> stored = host([&]() -> std::optional<Value> {
        if (!Preferences::instance().hasUserValue(prefPrefix + name))
            return std::nullopt;
        return Value(Preferences::instance().stringValue(prefPrefix + name));
    });
    return scriptValue(stored);
}

// --- Data. The host reads and writes; the script's thread makes the script values.

QJSValue OXScriptBridge::xwTableNames()
{
    const QStringList names = host([this] {
        OXDatabase *db = database();
        return db ? db->tablesList() : QStringList();
    });
    return OXScriptValues::stringList(m_engine, names);
}

QJSValue OXScriptBridge::xwFieldNamesForTable_(const QJSValue &table)
{
    const QString name = checkString(table);
    const std::optional<QStringList> names = host([&]() -> std::optional<QStringList> {
        if (!hasTable(name))
            return std::nullopt;
        return database()->namesForTable(name);
    });
    return names ? OXScriptValues::stringList(m_engine, *names) : null();
}

QJSValue OXScriptBridge::xwRowCountForTable_(const QJSValue &table)
{
    const QString name = checkString(table);
    const std::optional<double> count = host([&]() -> std::optional<double> {
        if (!hasTable(name))
            return std::nullopt;
        return double(database()->rowCountInTable(name));
    });
    return count ? QJSValue(*count) : null();
}

QJSValue OXScriptBridge::xwTypeForTableField__(const QJSValue &table, const QJSValue &field)
{
    const QString tableName = checkString(table), fieldName = checkString(field);
    if (fieldName.isEmpty())
        return null();
    const QString type =
        host([&] { return hasTable(tableName) ? database()->typeForTable(tableName, fieldName) : QString(); });
    return type.isEmpty() ? null() : QJSValue(type);
}

QJSValue OXScriptBridge::xwDatatypeForTable_field_(const QJSValue &table, const QJSValue &field)
{
    return xwTypeForTableField__(table, field);
}

QJSValue OXScriptBridge::xwIndexOfID__(const QJSValue &table, const QJSValue &id)
{
    const QString name = checkString(table);
    const QString wanted = idText(id, QStringLiteral("0"));
    const std::optional<double> index = host([&]() -> std::optional<double> {
        if (!hasTable(name))
            return std::nullopt;
        auto cursor = database()->executeQuery(QStringLiteral("SELECT id FROM `%1`").arg(name));
        if (!cursor)
            return std::nullopt;
        const QString column = name + QStringLiteral(".id");
        for (quint32 row = 0; row < cursor->rowCount(); ++row)
            if (cursor->rowAtIndex(row)->stringForColumn(column) == wanted)
                return double(row);
        return std::nullopt;
    });
    return index ? QJSValue(*index) : null();
}

QJSValue OXScriptBridge::xwIDAtIndex__(const QJSValue &table, const QJSValue &index)
{
    const QString name = checkString(table);
    if (!index.isNumber())
        return null();
    const double position = index.toNumber();
    const QString id = host([&] {
        if (!hasTable(name))
            return QString();
        auto cursor = database()->executeQuery(QStringLiteral("SELECT `id` FROM `%1`").arg(name));
        if (!cursor || position < 0 || position >= double(cursor->rowCount()) || position != std::trunc(position))
            return QString();
        return cursor->rowAtIndex(quint32(position))->stringForColumn(name + QStringLiteral(".id"));
    });
    return id.isEmpty() ? null() : QJSValue(id);
}

namespace {
// A column as the host read it: stored cells and the field's datatype, made native on the script's thread.
struct StoredColumn {
    QList<Value> cells;
    QString datatype;
};

Value nativeOf(const Value &cell, const QString &datatype)
{
    // Cells come back as stored text; the script sees the field's native value.
    return cell.isString() ? OXDatabase::dbToNative(cell.toString(), datatype) : cell;
}
} // namespace

QJSValue OXScriptBridge::xwDataValuesArray__(const QJSValue &table, const QJSValue &field)
{
    const QString tableName = checkString(table), fieldName = checkString(field);
    if (fieldName.isEmpty())
        return null();
    const std::optional<StoredColumn> column = host([&]() -> std::optional<StoredColumn> {
        if (!hasTable(tableName) || !database()->namesForTable(tableName).contains(fieldName))
            return std::nullopt;
        auto cursor = database()->executeQuery(QStringLiteral("SELECT `%1` FROM `%2`").arg(fieldName, tableName));
        if (!cursor || cursor->rowCount() == 0)
            return std::nullopt;
        StoredColumn stored;
        stored.datatype = database()->typeForTable(tableName, fieldName);
        const QString name = tableName + QLatin1Char('.') + fieldName;
        stored.cells.reserve(cursor->rowCount());
        for (quint32 row = 0; row < cursor->rowCount(); ++row)
            stored.cells.append(cursor->valueForColumn(name, row));
        return stored;
    });
    if (!column)
        return null();
    QJSValue values = m_engine.newArray(quint32(column->cells.size()));
    for (qsizetype row = 0; row < column->cells.size(); ++row)
        values.setProperty(quint32(row),
                           OXScriptValues::toScriptValue(m_engine, nativeOf(column->cells[row], column->datatype)));
    return values;
}

QJSValue OXScriptBridge::xwDataValue___(const QJSValue &table, const QJSValue &field, const QJSValue &id)
{
    const QString tableName = checkString(table), fieldName = checkString(field);
    const QString row = QLiteDatabase::prepareStringForQuery(idText(id, QStringLiteral("1")));
    const std::optional<StoredColumn> cell = host([&]() -> std::optional<StoredColumn> {
        if (!hasTable(tableName))
            return std::nullopt;
        StoredColumn stored;
        stored.datatype = database()->typeForTable(tableName, fieldName);
        if (stored.datatype.isEmpty())
            return std::nullopt;
        auto cursor = database()->executeQuery(
            QStringLiteral("SELECT `%1` FROM `%2` WHERE `id`='%3'").arg(fieldName, tableName, row));
        if (!cursor || cursor->rowCount() == 0)
            return std::nullopt;
        stored.cells.append(cursor->valueForColumn(tableName + QLatin1Char('.') + fieldName, 0));
        return stored;
    });
    if (!cell)
        return null();
    return OXScriptValues::toScriptValue(m_engine, nativeOf(cell->cells.first(), cell->datatype));
}

void OXScriptBridge::xwSetDataValue____(const QJSValue &table, const QJSValue &field, const QJSValue &id,
                                        const QJSValue &value)
{
    const QString tableName = checkString(table), fieldName = checkString(field);
    const QString row = idText(id, QStringLiteral("0"));
    const Value native = OXScriptValues::fromScriptValue(value);
    host([&] {
        if (!hasTable(tableName) || !database()->namesForTable(tableName).contains(fieldName))
            return;
        // A refused value (a failed check) is not written; the refusal is not raised into the script.
        if (!database()->insertNativeValue(native, tableName, fieldName, row))
            document()->setChanged(true);
    });
}

void OXScriptBridge::xwAddRowAtEnd_(const QJSValue &table)
{
    const QString name = checkString(table);
    host([&] {
        if (!hasTable(name))
            return;
        database()->executeQuery(QStringLiteral("INSERT INTO `%1` (`id`) VALUES (NULL)").arg(name));
        document()->setChanged(true);
    });
}

void OXScriptBridge::xwRemoveRowWithID__(const QJSValue &table, const QJSValue &id)
{
    qDebug().noquote() << QStringLiteral("xwRemoveRowWithID:'%1' :'%2'").arg(table.toString(), id.toString());
    const QString name = checkString(table), row = idText(id, QString());
    if (name.isEmpty() || row.isEmpty())
        return;
    host([&] {
        if (hasTable(name) && database()->deleteFromTable(name, row))
            document()->setChanged(true);
    });
}

// --- Reports and scripts.

QJSValue OXScriptBridge::xwEvaluateFormula__(const QJSValue &, const QJSValue &text)
{
    const QString formula = checkString(text);
    if (formula.isEmpty())
        return null();
    const std::optional<Value> result = host([&]() -> std::optional<Value> {
        if (!database())
            return std::nullopt;
        QTextDocument source;
        source.setPlainText(formula);
        const std::unique_ptr<QTextDocument> evaluated =
            LMReportParser::parseTextStorage(source, QString(), *database());
        if (!evaluated)
            return std::nullopt;
        return Value(evaluated->toPlainText());
    });
    return scriptValue(result);
}

void OXScriptBridge::xwPrintReport_(const QJSValue &name)
{
    const QString reportName = checkString(name);
    if (reportName.isEmpty())
        return;
    host([&] {
        MyDocument *doc = document();
        if (!doc || !database())
            return;
        const Value report = MyDocument::itemNamed(doc->reports(), reportName);
        if (!report.isDict())
            return;
        const std::unique_ptr<QTextDocument> source = LMReportDocument::templateForReport(report);
        const std::unique_ptr<QTextDocument> evaluated =
            LMReportDocument::evaluate(*source, LMReportDocument::contentTable(report), *database());
        if (evaluated)
            LMReportPrintableMailMerge(report, *evaluated).printReport(window());
    });
}

void OXScriptBridge::xwRunScript_(const QJSValue &name)
{
    const QString scriptName = checkString(name);
    if (scriptName.isEmpty() || m_controller.nesting() >= maximumNesting)
        return;
    const std::optional<QString> code = host([&]() -> std::optional<QString> {
        MyDocument *doc = document();
        const Value script = doc ? doc->scriptNamed(scriptName) : Value();
        if (!script.isDict())
            return std::nullopt;
        return script.value(QStringLiteral("Code String")).toString();
    });
    if (!code)
        return;
    // Made here, the inner controller runs on this thread and sends its host calls the way this one does.
    OXJavascriptRunController inner(*code, document());
    host([&] { inner.setLogView(m_controller.logView()); });
    inner.setNesting(m_controller.nesting() + 1);
    m_controller.setInnerRun(&inner);
    inner.run();
    m_controller.setInnerRun(nullptr);
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
    const bool hasForm = host([this] { return formDesign().isDict(); });
    return hasForm ? QJSValue(m_controller.formName()) : null();
}

QJSValue OXScriptBridge::xwFormContentTable()
{
    const QString table = host([this] {
        const Value form = formDesign();
        return form.isDict() ? form.value(QStringLiteral("Content Table")).toString() : QString();
    });
    return table.isEmpty() ? null() : QJSValue(table);
}

QJSValue OXScriptBridge::xwFormCurrentRowid()
{
    const QString rowid = host([this] {
        OXFormScriptHost *form = m_controller.formHost();
        return form ? form->currentRowid() : QString();
    });
    return rowid.isEmpty() ? null() : QJSValue(rowid);
}

QJSValue OXScriptBridge::xwFormCurrentLastEditedField()
{
    const QString field = host([this] {
        OXFormScriptHost *form = m_controller.formHost();
        return form ? form->lastEditedField() : QString();
    });
    return field.isEmpty() ? null() : QJSValue(field);
}

void OXScriptBridge::xwFormSetGlobal__(const QJSValue &name, const QJSValue &value)
{
    const QString key = checkString(name);
    const bool remove = OXScriptValues::isNullish(value);
    const QString text = checkString(value);
    if (key.isEmpty() || (!remove && text.isEmpty()))
        return;
    host([&] {
        Value form = formDesign();
        if (!form.isDict())
            return;
        if (remove)
            form.remove(formGlobalPrefix + key);
        else
            form.set(formGlobalPrefix + key, text);
        document()->setChanged(true);
    });
}

QJSValue OXScriptBridge::xwFormGetGlobal_(const QJSValue &name)
{
    const QString key = checkString(name);
    if (key.isEmpty())
        return null();
    const std::optional<Value> stored = host([&]() -> std::optional<Value> {
        const Value form = formDesign();
        if (!form.isDict() || !form.contains(formGlobalPrefix + key))
            return std::nullopt;
        // A copy: the design stays the host's, and the script's thread reads this one.
        return form.value(formGlobalPrefix + key).deepCopy();
    });
    return scriptValue(stored);
}

QJSValue OXScriptBridge::xwFormControlValue_(const QJSValue &control)
{
    const QString name = checkString(control);
    const std::optional<Value> value = host([&]() -> std::optional<Value> {
        OXFormScriptHost *form = m_controller.formHost();
        const std::optional<Value> read = form ? form->controlValue(name) : std::nullopt;
        return read ? std::optional<Value>(read->deepCopy()) : std::nullopt;
    });
    return scriptValue(value);
}

void OXScriptBridge::xwFormSetControlValue__(const QJSValue &control, const QJSValue &value)
{
    const QString name = checkString(control);
    const Value native = OXScriptValues::fromScriptValue(value);
    host([&] {
        if (OXFormScriptHost *form = m_controller.formHost())
            form->setControlValue(name, native);
    });
}

QJSValue OXScriptBridge::xwFormGetControlAttribute__(const QJSValue &control, const QJSValue &attribute)
{
    const QString name = checkString(control), key = checkString(attribute);
    const std::optional<Value> value = host([&]() -> std::optional<Value> {
        OXFormScriptHost *form = m_controller.formHost();
        const std::optional<Value> read = form ? form->controlAttribute(name, key) : std::nullopt;
        return read ? std::optional<Value>(read->deepCopy()) : std::nullopt;
    });
    return scriptValue(value);
}

void OXScriptBridge::xwFormSetControlAttribute___(const QJSValue &control, const QJSValue &attribute,
                                                  const QJSValue &value)
{
    const QString name = checkString(control), key = checkString(attribute);
    const Value native = OXScriptValues::fromScriptValue(value);
    host([&] {
        if (OXFormScriptHost *form = m_controller.formHost())
            form->setControlAttribute(name, key, native);
    });
}

QJSValue OXScriptBridge::xwFormCurrentValueForField_(const QJSValue &)
{
    return null();
}

void OXScriptBridge::xwFormCurrentSetValueForField__(const QJSValue &, const QJSValue &) {}
