// FDInspectorPane: thin editors over FDAttributeInspector, FDDataBindings, FDControlNaming and FDControlLinks.
#include "FDInspectorPane.h"

#include "ArchivedColor.h"
#include "FDAttributeInspector.h"
#include "FDControlLinks.h"
#include "FDControlNaming.h"
#include "FDDataBindings.h"
#include "FDKeys.h"
#include "FDSpringsStruts.h"
#include "LMFormDesignController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace FDKeys;

namespace {
QWidget *clearedPage(QWidget *page)
{
    delete page->layout();
    for (QWidget *child : page->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        delete child;
    return page;
}

QSpinBox *spin(int min, int max)
{
    auto *box = new QSpinBox;
    box->setRange(min, max);
    return box;
}
} // namespace

FDInspectorPane::FDInspectorPane(LMFormDesignController *controller, QWidget *parent)
    : QTabWidget(parent), m_controller(controller)
{
    m_attributes = new QWidget;
    auto *scroll = new QScrollArea;
    scroll->setWidget(m_attributes);
    scroll->setWidgetResizable(true);
    addTab(scroll, tr("Attributes"));
    addTab(m_size = new QWidget, tr("Size"));
    addTab(m_data = new QWidget, tr("Data"));
    addTab(m_actions = new QWidget, tr("Actions"));
    addTab(m_canvasTab = new QWidget, tr("Canvas"));
    FDCanvas *canvas = controller->canvas();
    connect(canvas, &FDCanvas::selectionChanged, this, [this] {
        rebuildAttributes();
        refreshSize();
        refreshData();
        refreshActions();
    });
    connect(canvas, &FDCanvas::sizePaneNeedsRefresh, this, &FDInspectorPane::refreshSize);
    connect(canvas, &FDCanvas::actionPaneNeedsRefresh, this, &FDInspectorPane::refreshActions);
    connect(canvas, &FDCanvas::canvasPaneNeedsRefresh, this, [this] {
        refreshCanvas();
        refreshData();
    });
    rebuildAttributes();
    refreshSize();
    refreshData();
    refreshActions();
    refreshCanvas();
    setMinimumWidth(260);
}

// ---- Attributes

void FDInspectorPane::rebuildAttributes()
{
    auto *form = new QFormLayout(clearedPage(m_attributes));
    FDCanvas *canvas = m_controller->canvas();
    auto inspector = std::make_shared<FDAttributeInspector>(canvas);
    const QString placeholder = inspector->placeholderText();
    if (!canvas->selection().isEmpty() && canvas->selection().size() == 1) {
        auto *label = new QLineEdit(inspector->labelText());
        connect(label, &QLineEdit::editingFinished, this, [this, label, inspector] {
            inspector->setLabelText(label->text());
            emit m_controller->editor()->modelChanged();
        });
        form->addRow(tr("Label:"), label);
    }
    if (!placeholder.isEmpty()) {
        auto *text = new QLabel(placeholder);
        text->setAlignment(Qt::AlignCenter);
        text->setStyleSheet(QStringLiteral("color: grey"));
        form->addRow(text);
        addFontPanel(form, inspector);
        return;
    }
    const Value properties = inspector->properties();
    for (int i = 0; i < properties.size(); ++i) {
        const Value property = properties.at(i);
        const QString type = property.value(QStringLiteral("Type")).toString();
        const Value current = inspector->valueOf(property);
        auto apply = [this, inspector, property](const Value &v) {
            inspector->apply(property, v);
            emit m_controller->editor()->modelChanged();
        };
        QWidget *editor = nullptr;
        if (type == QLatin1String("BOOL")) {
            auto *box = new QCheckBox;
            box->setChecked(current.toInt() > 0 || (current.isBool() && current.toBool()));
            connect(box, &QCheckBox::toggled, this, [apply](bool on) { apply(Value(on ? 1 : 0)); });
            editor = box;
        } else if (type == QLatin1String("enum")) {
            auto *combo = new QComboBox;
            const Value options = property.value(QStringLiteral("Enum Options"));
            for (int k = 0; k < options.size(); ++k) {
                combo->addItem(options.at(k).value(QStringLiteral("Title")).toString(),
                               int(options.at(k).value(QStringLiteral("Value")).toInt()));
                if (options.at(k).value(QStringLiteral("Value")).toInt() == current.toInt())
                    combo->setCurrentIndex(k);
            }
            connect(combo, &QComboBox::activated, this,
                    [apply, combo](int index) { apply(Value(combo->itemData(index).toInt())); });
            editor = combo;
        } else if (type == QLatin1String("int")) {
            auto *box = spin(-100000, 100000);
            box->setValue(int(current.toInt()));
            connect(box, &QSpinBox::editingFinished, this, [apply, box] { apply(Value(box->value())); });
            editor = box;
        } else if (type == QLatin1String("double") || type == QLatin1String("float") ||
                   type == QLatin1String("NSNumber")) {
            auto *box = new QDoubleSpinBox;
            box->setRange(-1e9, 1e9);
            box->setValue(current.toDouble());
            connect(box, &QDoubleSpinBox::editingFinished, this, [apply, box] { apply(Value(box->value())); });
            editor = box;
        } else if (type == QLatin1String("NSDate")) {
            auto *edit = new QDateTimeEdit(current.isDate() ? current.toDateTime() : QDateTime::currentDateTime());
            connect(edit, &QDateTimeEdit::editingFinished, this,
                    [apply, edit] { apply(Value::dateTime(edit->dateTime())); });
            editor = edit;
        } else {
            // Texts, lists (", "-separated) and colours (#rrggbb or a colour name).
            QString text =
                current.isArray() ? current.toStringList().join(QStringLiteral(", ")) : current.stringValue();
            if (type == QLatin1String("NSColor"))
                text = ArchivedColor::fromValue(current).value_or(QColor()).name(QColor::HexArgb);
            auto *edit = new QLineEdit(text);
            connect(edit, &QLineEdit::editingFinished, this, [apply, edit] { apply(Value(edit->text())); });
            editor = edit;
        }
        form->addRow(FDAttributeInspector::labelFor(property), editor);
    }
    addFontPanel(form, inspector);
}

void FDInspectorPane::addFontPanel(QFormLayout *form, const std::shared_ptr<FDAttributeInspector> &inspector)
{
    if (!inspector->showsFont())
        return;
    const FDFontAttributes current = inspector->font();
    auto *heading = new QLabel(tr("Font"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);
    heading->setObjectName(QStringLiteral("Font Panel"));
    form->addRow(heading);

    auto *family = new QFontComboBox;
    family->setObjectName(QStringLiteral("Font Family"));
    family->setCurrentFont(QFont(current.family.isEmpty() ? font().family() : current.family));
    auto *size = new QDoubleSpinBox;
    size->setObjectName(QStringLiteral("Font Size"));
    size->setRange(1, 1000);
    size->setDecimals(1);
    size->setValue(current.size);
    auto *bold = new QCheckBox(tr("Bold"));
    bold->setObjectName(QStringLiteral("Font Bold"));
    bold->setChecked(current.bold);
    auto *italic = new QCheckBox(tr("Italic"));
    italic->setObjectName(QStringLiteral("Font Italic"));
    italic->setChecked(current.italic);
    // Colours: the standard one, a few common ones, or any "#rrggbb" typed in.
    auto *color = new QComboBox;
    color->setObjectName(QStringLiteral("Text Color"));
    color->setEditable(true);
    color->setInsertPolicy(QComboBox::NoInsert);
    color->addItem(tr("Default"), QString());
    for (const QColor &c : {QColor(Qt::black), QColor(Qt::darkGray), QColor(Qt::gray), QColor(Qt::white),
                            QColor(Qt::red), QColor(Qt::darkRed), QColor(Qt::green), QColor(Qt::darkGreen),
                            QColor(Qt::blue), QColor(Qt::darkBlue), QColor(255, 128, 0), QColor(128, 0, 128)}) {
        QPixmap swatch(12, 12);
        swatch.fill(c);
        color->addItem(QIcon(swatch), c.name(), c.name());
    }
    if (current.color) {
        const int index = color->findData(current.color->name());
        if (index >= 0)
            color->setCurrentIndex(index);
        else
            color->setEditText(current.color->name(QColor::HexArgb));
    }

    auto read = [family, size, bold, italic, color] {
        FDFontAttributes f;
        f.family = family->currentFont().family();
        f.size = size->value();
        f.bold = bold->isChecked();
        f.italic = italic->isChecked();
        const QString text = color->currentText().trimmed();
        const int index = color->findText(text);
        const QString name = index >= 0 ? color->itemData(index).toString() : text;
        if (!name.isEmpty() && QColor(name).isValid())
            f.color = QColor(name);
        return f;
    };
    auto apply = [this, inspector, read](int fields) {
        inspector->applyFont(read(), fields);
        emit m_controller->editor()->modelChanged();
    };
    connect(family, &QFontComboBox::activated, this, [apply] { apply(FDFontAttributes::Family); });
    connect(size, &QDoubleSpinBox::editingFinished, this, [apply] { apply(FDFontAttributes::Size); });
    connect(bold, &QCheckBox::toggled, this, [apply] { apply(FDFontAttributes::Bold); });
    connect(italic, &QCheckBox::toggled, this, [apply] { apply(FDFontAttributes::Italic); });
    connect(color, &QComboBox::activated, this, [apply] { apply(FDFontAttributes::Color); });
    connect(color->lineEdit(), &QLineEdit::editingFinished, this, [apply] { apply(FDFontAttributes::Color); });
    form->addRow(tr("Family:"), family);
    form->addRow(tr("Size:"), size);
    auto *styles = new QWidget;
    auto *styleRow = new QHBoxLayout(styles);
    styleRow->setContentsMargins(0, 0, 0, 0);
    styleRow->addWidget(bold);
    styleRow->addWidget(italic);
    styleRow->addStretch(1);
    form->addRow(tr("Style:"), styles);
    form->addRow(tr("Colour:"), color);
}

// ---- Size and springs

void FDInspectorPane::refreshSize()
{
    if (m_updating)
        return;
    auto *form = new QFormLayout(clearedPage(m_size));
    FDCanvas *canvas = m_controller->canvas();
    if (canvas->selection().size() != 1) {
        form->addRow(new QLabel(canvas->selection().isEmpty() ? FDAttributeInspector::kNoSelection
                                                              : FDAttributeInspector::kMultipleControls));
        return;
    }
    const FDControlPtr control = canvas->selection().first();
    const QRect shown = control->controlFrame().toRect();
    QSpinBox *boxes[4] = {spin(-10000, 10000), spin(-10000, 10000), spin(1, 10000), spin(1, 10000)};
    const int values[4] = {shown.x(), shown.y(), shown.width(), shown.height()};
    const char *labels[4] = {"X:", "Y:", "Width:", "Height:"};
    for (int i = 0; i < 4; ++i) {
        boxes[i]->setValue(values[i]);
        form->addRow(tr(labels[i]), boxes[i]);
        connect(boxes[i], &QSpinBox::editingFinished, this, [this, control, boxes] {
            const qreal m = FDControl::kMargin;
            m_updating = true;
            m_controller->editor()->setFrameExcludingLabel(control, QRectF(boxes[0]->value() - m, boxes[1]->value() - m,
                                                                           boxes[2]->value() + 2 * m,
                                                                           boxes[3]->value() + 2 * m));
            m_updating = false;
        });
    }
    const char *springs[6] = {"Left margin flexible", "Width flexible",  "Right margin flexible",
                              "Top margin flexible",  "Height flexible", "Bottom margin flexible"};
    for (int bit = 0; bit < 6; ++bit) {
        auto *box = new QCheckBox(tr(springs[bit]));
        box->setChecked(control->resizeMask() & (1 << bit));
        connect(box, &QCheckBox::toggled, this, [this, control, bit](bool on) {
            control->setResizeMask(on ? control->resizeMask() | (1 << bit) : control->resizeMask() & ~(1 << bit));
            emit m_controller->editor()->modelChanged();
        });
        form->addRow(box);
    }
}

// ---- Data bindings

void FDInspectorPane::refreshData()
{
    auto *form = new QFormLayout(clearedPage(m_data));
    auto bindings = std::make_shared<FDDataBindings>(m_controller->canvas(), m_controller->database());
    const QStringList choices = bindings->choices();
    const QList<std::pair<QString, QString>> paths = {{kValuePath, tr("Value:")},
                                                      {kTooltipPath, tr("Tooltip:")},
                                                      {kEnabledPath, tr("Enabled:")},
                                                      {kVisiblePath, tr("Visible:")}};
    for (const auto &[key, label] : paths) {
        auto *combo = new QComboBox;
        for (const QString &choice : choices) {
            if (choice.isEmpty())
                combo->insertSeparator(combo->count());
            else
                combo->addItem(choice);
        }
        combo->setCurrentText(bindings->binding(key));
        combo->setEnabled(bindings->isEnabled());
        const QString pathKey = key;
        connect(combo, &QComboBox::activated, this, [this, bindings, combo, pathKey](int index) {
            bindings->bind(pathKey, index == 0 ? FDDataBindings::kNone : combo->itemText(index));
            emit m_controller->editor()->modelChanged();
        });
        form->addRow(label, combo);
    }
}

// ---- Name and actions

void FDInspectorPane::refreshActions()
{
    if (m_updating)
        return;
    auto *form = new QFormLayout(clearedPage(m_actions));
    FDCanvas *canvas = m_controller->canvas();
    if (canvas->selection().isEmpty()) {
        form->addRow(new QLabel(FDAttributeInspector::kNoSelection));
        return;
    }
    const FDControlPtr control = canvas->selection().first();
    auto *name = new QLineEdit(control->scriptBridgeName());
    connect(name, &QLineEdit::editingFinished, this, [this, name, canvas, control] {
        m_updating = true;
        if (FDControlNaming::controlName(canvas, name->text()))
            emit m_controller->editor()->modelChanged();
        else
            name->setText(control->scriptBridgeName());
        m_updating = false;
    });
    form->addRow(tr("Name:"), name);
    auto *type = new QComboBox;
    type->addItems({kActionCall, kActionRun});
    type->setCurrentText(control->info().value(kControlActionType).toString());
    connect(type, &QComboBox::activated, this, [this, type, canvas] {
        for (const FDControlPtr &c : canvas->selection())
            c->info().set(kControlActionType, type->currentText());
        emit m_controller->editor()->modelChanged();
    });
    form->addRow(tr("Action type:"), type);
    form->addRow(tr("Script:"), new QLabel(control->info().value(kControlActionScript).toString()));
    auto *add = new QPushButton(tr("Add Action"));
    connect(add, &QPushButton::clicked, this, [this] { m_controller->addAction(); });
    form->addRow(add);

    // Links to another control: its actions and this control's outlets.
    auto *target = new QComboBox;
    for (const FDControlPtr &other : canvas->controls())
        if (other != control)
            target->addItem(other->scriptBridgeName(), other->uuid());
    auto *link = new QComboBox;
    auto fillLinks = [control, canvas, target, link] {
        link->clear();
        const FDControlPtr other = canvas->controlWithUUID(target->currentData().toString());
        for (const QString &action : FDControlLinks::actionsOffered(other))
            link->addItem((FDControlLinks::isActionConnected(control, other, action) ? "✓ " : "") + action + ":",
                          QStringList{QStringLiteral("action"), action});
        for (const QString &outlet : FDControlLinks::outletsOffered(control))
            link->addItem((FDControlLinks::isOutletConnected(control, other, outlet) ? "✓ " : "") + outlet,
                          QStringList{QStringLiteral("outlet"), outlet});
    };
    connect(target, &QComboBox::currentIndexChanged, this, fillLinks);
    fillLinks();
    auto *connectButton = new QPushButton(tr("Connect / Disconnect"));
    connect(connectButton, &QPushButton::clicked, this, [this, control, canvas, target, link, fillLinks] {
        const FDControlPtr other = canvas->controlWithUUID(target->currentData().toString());
        const QStringList choice = link->currentData().toStringList();
        if (!other || choice.size() != 2)
            return;
        if (choice.first() == QLatin1String("action"))
            FDControlLinks::chooseAction(control, other, choice.last());
        else
            FDControlLinks::chooseOutlet(control, other, choice.last());
        fillLinks();
        emit m_controller->editor()->modelChanged();
    });
    form->addRow(tr("Link to:"), target);
    form->addRow(tr("Connection:"), link);
    form->addRow(connectButton);
}

// ---- Canvas

void FDInspectorPane::refreshCanvas()
{
    if (m_updating)
        return;
    auto *form = new QFormLayout(clearedPage(m_canvasTab));
    FDCanvas *canvas = m_controller->canvas();
    auto changed = [this] { emit m_controller->editor()->modelChanged(); };
    auto *grid = new QCheckBox(tr("Show grid"));
    grid->setChecked(canvas->showGrid());
    connect(grid, &QCheckBox::toggled, this, [canvas, changed](bool on) {
        canvas->setShowGrid(on);
        changed();
    });
    auto *snap = new QCheckBox(tr("Snap to grid"));
    snap->setChecked(canvas->snapToGrid());
    connect(snap, &QCheckBox::toggled, this, [this, canvas, changed](bool on) {
        m_updating = true;
        canvas->setSnapToGrid(on);
        m_updating = false;
        changed();
    });
    auto *spacing = spin(1, 200);
    spacing->setValue(canvas->minorLineSpacing());
    connect(spacing, &QSpinBox::editingFinished, this, [canvas, spacing, changed] {
        canvas->setMinorLineSpacing(spacing->value());
        changed();
    });
    auto *interval = spin(1, 100);
    interval->setValue(canvas->majorLineInterval());
    connect(interval, &QSpinBox::editingFinished, this, [canvas, interval, changed] {
        canvas->setMajorLineInterval(interval->value());
        changed();
    });
    auto *usesBackground = new QCheckBox(tr("Use background colour"));
    usesBackground->setChecked(canvas->usesBackgroundColor());
    connect(usesBackground, &QCheckBox::toggled, this, [canvas, changed](bool on) {
        canvas->setUsesBackgroundColor(on);
        changed();
    });
    auto *background = new QLineEdit(canvas->backgroundColor().name());
    connect(background, &QLineEdit::editingFinished, this, [canvas, background, changed] {
        const QColor color(background->text());
        if (color.isValid()) {
            canvas->setBackgroundColor(color);
            changed();
        }
    });
    form->addRow(grid);
    form->addRow(snap);
    form->addRow(tr("Grid spacing:"), spacing);
    form->addRow(tr("Major line every:"), interval);
    form->addRow(usesBackground);
    form->addRow(tr("Background:"), background);
    const QSizeF size = canvas->canvasSize();
    form->addRow(tr("Size:"), new QLabel(QStringLiteral("%1 × %2").arg(size.width()).arg(size.height())));
}
