// FDControl: geometry keeps the control still while the label changes; names are unique within the canvas.
#include "FDControl.h"

#include "FDCanvas.h"
#include "FDControlArchiver.h"
#include "FDControlKinds.h"
#include "FDKeys.h"
#include "ReferenceDate.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <charconv>
#include <cmath>
#include <cstdlib>

using namespace FDKeys;

QString FDControl::makeUUID()
{
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, ReferenceDate::now());
    return QStringLiteral("%1-%2").arg(QString::fromLatin1(buffer, end.ptr - buffer)).arg(random());
}

qreal FDControl::labelWidthFor(const QString &text)
{
    // The label is a borderless text field: its text plus the field's two-point insets on each side.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return std::ceil(QFontMetricsF(labelFont()).horizontalAdvance(text) + 4);
    return 7.0 * text.size() + 4;
}

QFont FDControl::labelFont()
{
    // Canvas coordinates are points drawn one to a pixel, so the 13-point label font is 13 pixels high.
    QFont font = QGuiApplication::font();
    font.setPixelSize(13);
    return font;
}

FDControlPtr FDControl::fdcontrolFromControl(const Value &control, FDCanvas *canvas)
{
    FDControlPtr wrapper(new FDControl);
    wrapper->m_control = control;
    wrapper->m_canvas = canvas;
    wrapper->m_info.set(kUUID, makeUUID());
    wrapper->m_info.set(kControlActionType, kActionCall);
    wrapper->setLabelText(QStringLiteral("Label:"));
    const FDControlKind *kind = FDControlKinds::kindTitled(FDControlKinds::titleOf(control));
    const QSizeF size = kind ? kind->size : QSizeF(100, 22);
    wrapper->setFrameExcludingLabel(QRectF(QPointF(0, 0), size).adjusted(-kMargin, -kMargin, kMargin, kMargin));
    wrapper->giveUntitledName();
    return wrapper;
}

FDControlPtr FDControl::fdcontrolFromData(const QByteArray &data, FDCanvas *canvas)
{
    const std::optional<Value> control = FDControlArchiver::unarchiveControl(data);
    if (!control || !control->isObject())
        return nullptr;
    FDControlPtr wrapper = fdcontrolFromControl(*control, canvas);
    wrapper->m_data = data;
    wrapper->m_frame.moveTo(0, 0);
    return wrapper;
}

FDControlPtr FDControl::unreadable(const QString &className, const QByteArray &data, FDCanvas *canvas)
{
    FDControlPtr wrapper = fdcontrolFromControl(Value::object(className), canvas);
    wrapper->m_readable = false;
    wrapper->m_unreadableClass = className;
    wrapper->m_data = data;
    return wrapper;
}

void FDControl::setControl(const Value &control)
{
    m_control = control;
    m_data.clear();
    m_readable = true;
}

QString FDControl::className() const
{
    return m_readable ? FDControlKinds::classOf(m_control) : m_unreadableClass;
}

void FDControl::setInfo(const Value &info)
{
    m_info = info.isDict() ? info : Value::dict();
    if (m_info.contains(kLabelText))
        refreshLabel();
}

void FDControl::setLabelText(const QString &text)
{
    m_labelText = text;
    m_labelWidth = labelWidthFor(text);
}

void FDControl::refreshLabel()
{
    const QString text = m_info.value(kLabelText).toString();
    const qreal old = m_labelWidth;
    setLabelText(text);
    // The control keeps its place: the wrapper grows or shrinks on its left.
    const qreal d = old - m_labelWidth;
    m_frame.setLeft(m_frame.left() + d);
}

void FDControl::labelTextChanged(const QString &text)
{
    const qreal old = m_labelWidth;
    setLabelText(text);
    const qreal d = old - m_labelWidth;
    m_frame.setLeft(m_frame.left() + d);
    m_info.set(kLabelText, text);
    QString name = text;
    if (name.endsWith(u':'))
        name.chop(1);
    tryToGiveName(name);
}

QRectF FDControl::frameExcludingLabel() const
{
    const qreal offset = m_labelWidth + kLabelGap;
    return QRectF(m_frame.x() + offset, m_frame.y(), m_frame.width() - offset, m_frame.height());
}

void FDControl::setFrameExcludingLabel(const QRectF &rect)
{
    const qreal offset = m_labelWidth + kLabelGap;
    m_frame = QRectF(rect.x() - offset, rect.y(), rect.width() + offset, rect.height());
}

QRectF FDControl::controlFrame() const
{
    return frameExcludingLabel().adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

QRectF FDControl::labelFrame() const
{
    // One line of text, vertically centred on the control when the control is taller than the line.
    const qreal lineHeight = 17;
    const QRectF control = controlFrame();
    const qreal y = control.height() > lineHeight ? control.y() + (qMin<qreal>(control.height(), 22) - lineHeight) / 2
                                                  : control.y() + (control.height() - lineHeight) / 2;
    return QRectF(m_frame.x(), y, m_labelWidth, lineHeight);
}

QByteArray FDControl::getData()
{
    if (m_data.isEmpty())
        m_data = FDControlArchiver::archiveControl(m_control);
    return m_data;
}

QByteArray FDControl::controlData() const
{
    return m_readable ? FDControlArchiver::archiveControl(m_control) : m_data;
}

QString FDControl::scriptBridgeName() const
{
    return m_info.value(kScriptBridgeName).toString();
}

QStringList FDControl::sbNames() const
{
    QStringList names;
    if (!m_canvas)
        return names;
    for (const FDControlPtr &other : m_canvas->controls()) {
        if (other.get() == this)
            continue;
        const QString name = other->scriptBridgeName();
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

void FDControl::tryToGiveName(const QString &name)
{
    if (name.isEmpty() || !scriptBridgeName().isEmpty())
        return;
    if (!sbNames().contains(name))
        m_info.set(kScriptBridgeName, name);
    if (m_canvas)
        m_canvas->alertActionPane();
}

void FDControl::giveUntitledName()
{
    if (!scriptBridgeName().isEmpty() || !m_canvas)
        return;
    const QStringList taken = sbNames();
    for (int d = 1; d < 999999; ++d) {
        const QString name = QStringLiteral("untitled%1").arg(d);
        if (!taken.contains(name)) {
            m_info.set(kScriptBridgeName, name);
            return;
        }
    }
}
