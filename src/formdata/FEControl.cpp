// FEControl: label layout, the action of each kind of control and its value exchange with the record.
#include "FEControl.h"

#include "DateFormatter.h"
#include "FDControl.h"
#include "FDKeys.h"
#include "HVAttachmentWell.h"
#include "HVFormPopUpButton.h"
#include "HVFormProgressIndicator.h"
#include "HVFormRadioButtonMatrix.h"
#include "HVFormSegmentedControl.h"
#include "HVFormTextViewScrollView.h"
#include "HVFormWell.h"
#include "NumberFormatter.h"
#include "ReferenceDate.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace FDKeys;

FEControl::FEControl(QWidget *parent) : QWidget(parent)
{
    m_label = new QLabel(QStringLiteral("Label:"), this);
    m_label->setFont(FDControl::labelFont());
    m_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_labelWidth = FDControl::labelWidthFor(m_label->text());
}

FEControl *FEControl::fecontrolFromControl(QWidget *control, const QString &className, QWidget *parent)
{
    auto *wrapper = new FEControl(parent);
    wrapper->m_className = className;
    wrapper->m_listValued = className == kTokenField;
    wrapper->setNSControl(control);
    return wrapper;
}

void FEControl::setNSControl(QWidget *control)
{
    if (m_control)
        m_control->removeEventFilter(this);
    m_control = control;
    if (!control)
        return;
    control->setParent(this);
    control->show();
    connectAction();
    layoutParts();
}

void FEControl::setInfo(const Value &info)
{
    m_info = info.isDict() ? info : Value::dict();
    if (m_info.contains(kLabelText))
        labelTextChanged(m_info.value(kLabelText).toString());
}

QString FEControl::uuid() const
{
    return m_info.value(kUUID).toString();
}

QString FEControl::name() const
{
    return m_info.value(kScriptBridgeName).toString();
}

void FEControl::labelTextChanged(const QString &text)
{
    // The control keeps its place; the label grows or shrinks on its left.
    const QRectF control = frameExcludingLabel();
    m_label->setText(text);
    m_labelWidth = FDControl::labelWidthFor(text);
    if (!control.isEmpty())
        setFrameExcludingLabel(control);
}

QRectF FEControl::frameExcludingLabel() const
{
    const qreal offset = m_labelWidth + FDControl::kLabelGap;
    const QRectF frame(geometry());
    return QRectF(frame.x() + offset, frame.y(), frame.width() - offset, frame.height());
}

void FEControl::setFrameExcludingLabel(const QRectF &rect)
{
    const qreal offset = m_labelWidth + FDControl::kLabelGap;
    setGeometry(QRectF(rect.x() - offset, rect.y(), rect.width() + offset, rect.height()).toRect());
    layoutParts();
}

void FEControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutParts();
}

void FEControl::layoutParts()
{
    const int offset = int(std::ceil(m_labelWidth + FDControl::kLabelGap));
    // One line of text, centred on the control's first line when the control is taller.
    const int line = 17;
    const int top = height() > line ? (qMin(height(), 22) - line) / 2 : (height() - line) / 2;
    m_label->setGeometry(0, top, int(std::ceil(m_labelWidth)), line);
    if (m_control)
        m_control->setGeometry(offset, 0, qMax(0, width() - offset), height());
}

void FEControl::connectAction()
{
    QWidget *c = m_control;
    auto acted = [this] { emit controlActed(this); };
    if (auto *well = qobject_cast<HVFormWell *>(c)) {
        connect(well, &HVFormWell::objectValueEdited, this, acted);
        // In a form an attachment well offers its "Export" button.
        if (auto *attachment = qobject_cast<HVAttachmentWell *>(c))
            attachment->setInForm(true);
    } else if (auto *edit = qobject_cast<QLineEdit *>(c)) {
        connect(edit, &QLineEdit::editingFinished, this, acted);
    } else if (auto *date = qobject_cast<QDateTimeEdit *>(c)) {
        connect(date, &QDateTimeEdit::editingFinished, this, acted);
    } else if (auto *button = qobject_cast<QAbstractButton *>(c)) {
        connect(button, &QAbstractButton::clicked, this, acted);
    } else if (auto *popUp = qobject_cast<QComboBox *>(c)) {
        connect(popUp, &QComboBox::activated, this, acted);
    } else if (auto *text = qobject_cast<QPlainTextEdit *>(c)) {
        // Text views end their editing when they lose the focus.
        text->installEventFilter(this);
    } else if (qobject_cast<HVFormRadioButtonMatrix *>(c) || qobject_cast<HVFormSegmentedControl *>(c)) {
        if (auto *group = c->findChild<QButtonGroup *>())
            connect(group, &QButtonGroup::idClicked, this, acted);
    }
}

bool FEControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_control && event->type() == QEvent::FocusOut) {
        if (auto *text = qobject_cast<QPlainTextEdit *>(m_control.data()); text && text->document()->isModified()) {
            text->document()->setModified(false);
            emit controlActed(this);
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool FEControl::hasAction() const
{
    const QWidget *c = m_control;
    return qobject_cast<const HVFormWell *>(c) || qobject_cast<const QLineEdit *>(c) ||
           qobject_cast<const QDateTimeEdit *>(c) || qobject_cast<const QAbstractButton *>(c) ||
           qobject_cast<const QComboBox *>(c) || qobject_cast<const QPlainTextEdit *>(c) ||
           qobject_cast<const HVFormRadioButtonMatrix *>(c) || qobject_cast<const HVFormSegmentedControl *>(c);
}

// --- Values

namespace {
QDateTime dateTimeOf(const Value &value)
{
    return ReferenceDate::toDateTime(value.toDate());
}
} // namespace

FEControlValue FEControl::readValue() const
{
    QWidget *c = m_control;
    if (auto *well = qobject_cast<HVFormWell *>(c))
        return FEControlValue::object(well->objectValue());
    if (auto *edit = qobject_cast<QLineEdit *>(c)) {
        const QString text = edit->text();
        if (m_listValued)
            return FEControlValue::object(OXDatabase::arrayFromList(text));
        if (!m_formatter.isNull() && !text.isEmpty()) {
            // Text the formatter cannot read goes to the field's own rules as typed.
            const Value parsed = m_formatter.parse(text);
            return FEControlValue::object(parsed.isNull() ? Value(text) : parsed);
        }
        return FEControlValue::object(Value(text));
    }
    if (auto *date = qobject_cast<QDateTimeEdit *>(c)) {
        if (date->dateTime() == date->minimumDateTime() && !date->specialValueText().isEmpty())
            return FEControlValue::object(Value());
        return FEControlValue::object(Value::dateTime(date->dateTime()));
    }
    if (auto *box = qobject_cast<QCheckBox *>(c))
        return FEControlValue::object(Value(box->isChecked()));
    if (auto *text = qobject_cast<HVFormTextViewScrollView *>(c))
        return FEControlValue::object(text->objectValue());
    if (auto *popUp = qobject_cast<HVFormPopUpButton *>(c))
        return FEControlValue::object(popUp->objectValue());
    if (auto *radio = qobject_cast<HVFormRadioButtonMatrix *>(c))
        return FEControlValue::object(radio->objectValue());
    if (auto *segments = qobject_cast<HVFormSegmentedControl *>(c))
        return FEControlValue::object(segments->objectValue());
    if (auto *bar = qobject_cast<HVFormProgressIndicator *>(c))
        return FEControlValue::object(bar->objectValue());
    if (auto *label = qobject_cast<QLabel *>(c))
        return FEControlValue::string(label->text());
    return {};
}

bool FEControl::writeValue(const Value &value)
{
    QWidget *c = m_control;
    if (auto *well = qobject_cast<HVFormWell *>(c)) {
        well->setObjectValue(value);
        return true;
    }
    if (auto *edit = qobject_cast<QLineEdit *>(c)) {
        QString text;
        if (value.isArray()) {
            m_listValued = true;
            text = OXDatabase::listFromArray(value);
        } else if (!value.isNull()) {
            text = m_formatter.isNull() ? value.stringValue() : m_formatter.format(value);
        }
        edit->setText(text);
        edit->setModified(false);
        return true;
    }
    if (auto *date = qobject_cast<QDateTimeEdit *>(c)) {
        if (value.isDate()) {
            date->setSpecialValueText(QString());
            date->setDateTime(dateTimeOf(value));
        } else {
            // No date: the picker shows nothing until one is chosen.
            date->setSpecialValueText(QStringLiteral(" "));
            date->setDateTime(date->minimumDateTime());
        }
        return true;
    }
    if (auto *box = qobject_cast<QCheckBox *>(c)) {
        const std::optional<bool> truth = FEBinding::truthOf(value);
        box->setChecked(value.isString() ? value.toString() == QLatin1String("1") : truth.value_or(false));
        return true;
    }
    if (auto *text = qobject_cast<HVFormTextViewScrollView *>(c)) {
        text->setObjectValue(value);
        text->document()->setModified(false);
        return true;
    }
    if (auto *popUp = qobject_cast<HVFormPopUpButton *>(c)) {
        popUp->setObjectValue(value);
        return true;
    }
    if (auto *radio = qobject_cast<HVFormRadioButtonMatrix *>(c)) {
        radio->setObjectValue(value);
        return true;
    }
    if (auto *segments = qobject_cast<HVFormSegmentedControl *>(c)) {
        segments->setObjectValue(value);
        return true;
    }
    if (auto *bar = qobject_cast<HVFormProgressIndicator *>(c)) {
        bar->setObjectValue(value);
        return true;
    }
    if (auto *label = qobject_cast<QLabel *>(c)) {
        if (!value.isNull() && !value.isString())
            return false;
        label->setText(value.toString());
        return true;
    }
    return false;
}

void FEControl::clearValue()
{
    if (qobject_cast<QLabel *>(m_control.data()))
        return; // a plain label keeps its own text
    writeValue(Value());
}

bool FEControl::acceptsOptions() const
{
    return qobject_cast<HVFormRadioButtonMatrix *>(m_control.data()) ||
           qobject_cast<HVFormSegmentedControl *>(m_control.data());
}

void FEControl::setOptions(const QStringList &options)
{
    if (auto *radio = qobject_cast<HVFormRadioButtonMatrix *>(m_control.data()))
        radio->setOptions(options);
    else if (auto *segments = qobject_cast<HVFormSegmentedControl *>(m_control.data()))
        segments->setOptions(options);
}

bool FEControl::isPopUpMenu() const
{
    return qobject_cast<HVFormPopUpButton *>(m_control.data());
}

void FEControl::setPopUpItems(const QStringList &items, const QString &selected)
{
    auto *popUp = qobject_cast<HVFormPopUpButton *>(m_control.data());
    if (!popUp)
        return;
    popUp->setItemTitles(items);
    if (!selected.isEmpty())
        popUp->setObjectValue(Value(selected));
    else if (!items.isEmpty())
        popUp->setCurrentIndex(0);
}

bool FEControl::acceptsFormatter() const
{
    const auto *edit = qobject_cast<const QLineEdit *>(m_control.data());
    return edit && !m_listValued;
}
