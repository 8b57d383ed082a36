// OXFileFindView: both controllers share the panel's state; the regular-expression switch picks which runs.
#include "OXFileFindView.h"

#include "OXRegexSettings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

OXFileFindView::OXFileFindView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("OXFileFindView"));
    OXRegexSettings::registerDefaults();
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    m_historyButton = new QToolButton;
    m_historyButton->setText(QStringLiteral("History"));
    m_historyButton->setPopupMode(QToolButton::InstantPopup);
    m_historyMenu = new QMenu(QStringLiteral("History"), this);
    m_historyButton->setMenu(m_historyMenu);
    m_findField = new QLineEdit;
    m_findField->setObjectName(QStringLiteral("OXFindField"));
    m_replaceField = new QLineEdit;
    m_replaceField->setObjectName(QStringLiteral("OXReplaceField"));
    auto *previous = new QPushButton(QStringLiteral("◀"));
    auto *next = new QPushButton(QStringLiteral("▶"));
    auto *replace = new QPushButton(QStringLiteral("Replace"));
    auto *all = new QPushButton(QStringLiteral("Replace All"));
    auto *replaceFind = new QPushButton(QStringLiteral("Replace && Find"));
    auto *done = new QPushButton(QStringLiteral("Done"));
    m_wrap = new QCheckBox(QStringLiteral("Wrap Around"));
    m_ignoreCase = new QCheckBox(QStringLiteral("Ignore Case"));
    m_selectedOnly = new QCheckBox(QStringLiteral("Selected Text Only"));
    m_regexSwitch = new QCheckBox(QStringLiteral("Regular Expression"));
    m_regexButton = new QToolButton;
    m_regexButton->setText(QStringLiteral("Regex Options"));
    m_regexButton->setPopupMode(QToolButton::InstantPopup);
    m_regexMenu = new QMenu(QStringLiteral("Regex Options"), this);
    m_regexButton->setMenu(m_regexMenu);
    m_wrap->setChecked(true);
    m_ignoreCase->setChecked(true);

    grid->addWidget(m_historyButton, 0, 0);
    grid->addWidget(m_findField, 0, 1);
    auto *findButtons = new QHBoxLayout;
    findButtons->setSpacing(0);
    findButtons->addWidget(previous);
    findButtons->addWidget(next);
    grid->addLayout(findButtons, 0, 2);
    grid->addWidget(done, 0, 3);
    grid->addWidget(m_replaceField, 1, 1);
    auto *replaceButtons = new QHBoxLayout;
    replaceButtons->addWidget(replace);
    replaceButtons->addWidget(all);
    replaceButtons->addWidget(replaceFind);
    grid->addLayout(replaceButtons, 1, 2, 1, 2);
    auto *switches = new QHBoxLayout;
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_wrap, m_ignoreCase, m_selectedOnly, m_regexSwitch, m_regexButton})
        switches->addWidget(w);
    switches->addStretch();
    grid->addLayout(switches, 2, 1, 1, 3);

    connect(m_findField, &QLineEdit::textEdited, this, [this](const QString &text) {
        syncControllers();
        controller().setFindString(text);
        colourFields();
    });
    connect(m_findField, &QLineEdit::returnPressed, this, [this] { find(false); });
    connect(m_replaceField, &QLineEdit::textChanged, this, [this] { syncControllers(); });
    connect(previous, &QPushButton::clicked, this, [this] { find(true); });
    connect(next, &QPushButton::clicked, this, [this] { find(false); });
    connect(replace, &QPushButton::clicked, this, [this] { replaceOne(); });
    connect(all, &QPushButton::clicked, this, [this] { replaceAll(); });
    connect(replaceFind, &QPushButton::clicked, this, [this] { replaceAndFind(); });
    connect(done, &QPushButton::clicked, this, [this] { close(); });
    connect(m_wrap, &QCheckBox::toggled, this, [this](bool on) { setWrapAround(on); });
    connect(m_ignoreCase, &QCheckBox::toggled, this, [this](bool on) { setIgnoreCase(on); });
    connect(m_selectedOnly, &QCheckBox::toggled, this, [this](bool on) { setSelectedTextOnly(on); });
    connect(m_regexSwitch, &QCheckBox::toggled, this, [this](bool on) { setRegex(on); });
    rebuildHistoryMenu();
    rebuildRegexMenu();
    setRegex(false);
    QWidget::hide();
}

OXFileFindView::~OXFileFindView() = default;

void OXFileFindView::setTextView(QTextEdit *edit)
{
    attach(std::make_shared<OXFindTextView>(edit));
}

void OXFileFindView::setTextView(QPlainTextEdit *edit)
{
    attach(std::make_shared<OXFindTextView>(edit));
}

void OXFileFindView::attach(std::shared_ptr<OXFindTextView> view)
{
    m_view = std::move(view);
    m_normal.setTextView(m_view);
    m_regexController.setTextView(m_view);
}

OXFileFindController &OXFileFindView::controller() const
{
    if (m_regex)
        return const_cast<OXFileFindController_Regex &>(m_regexController);
    return const_cast<OXFileFindController_Normal &>(m_normal);
}

void OXFileFindView::syncControllers()
{
    for (OXFileFindController *c : std::initializer_list<OXFileFindController *>{&m_normal, &m_regexController}) {
        c->setReplaceString(m_replaceField->text());
        c->setWrapAround(m_wrap->isChecked());
        c->setIgnoreCase(m_ignoreCase->isChecked());
        c->setSelectedTextOnly(m_selectedOnly->isChecked());
    }
}

void OXFileFindView::performFileFindPanelAction(int tag)
{
    switch (tag) {
    case ShowPanel: show(); break;
    case FindNext: find(false); break;
    case FindPrevious: find(true); break;
    case UseSelection:
        show();
        if (m_view && m_view->selectionLength() > 0) {
            const QString selected = m_view->string().mid(m_view->selectionLocation(), m_view->selectionLength());
            m_findField->setText(selected);
        }
        break;
    default: break;
    }
}

void OXFileFindView::show()
{
    QWidget::show();
    m_findField->setFocus();
    m_findField->selectAll();
}

void OXFileFindView::close()
{
    QWidget::hide();
    if (m_view && m_view->widget())
        m_view->widget()->setFocus();
}

OXFindResult OXFileFindView::find(bool backwards)
{
    syncControllers();
    OXFileFindController &c = controller();
    // The field's text is the find string; setting it here must not search a second time.
    const bool selectedOnly = c.selectedTextOnly();
    c.setSelectedTextOnly(true);
    c.setFindString(m_findField->text());
    c.setSelectedTextOnly(selectedOnly);
    const OXFindResult result = c.search(backwards);
    afterFind(result);
    return result;
}

void OXFileFindView::afterFind(OXFindResult result)
{
    colourFields();
    if (result != OXFindResult::Invalid && !m_findField->text().isEmpty()) {
        m_history.add(m_findField->text(), m_regex);
        rebuildHistoryMenu();
    }
}

bool OXFileFindView::replaceOne()
{
    syncControllers();
    return controller().replace();
}

int OXFileFindView::replaceAll()
{
    syncControllers();
    OXFileFindController &c = controller();
    const bool selectedOnly = c.selectedTextOnly();
    c.setSelectedTextOnly(true);
    c.setFindString(m_findField->text());
    c.setSelectedTextOnly(selectedOnly);
    const int count = c.replaceAll();
    colourFields();
    return count;
}

OXFindResult OXFileFindView::replaceAndFind()
{
    replaceOne();
    return find(false);
}

void OXFileFindView::setWrapAround(bool on)
{
    if (m_wrap->isChecked() != on)
        m_wrap->setChecked(on);
    syncControllers();
}

void OXFileFindView::setIgnoreCase(bool on)
{
    if (m_ignoreCase->isChecked() != on)
        m_ignoreCase->setChecked(on);
    syncControllers();
}

void OXFileFindView::setSelectedTextOnly(bool on)
{
    if (m_selectedOnly->isChecked() != on)
        m_selectedOnly->setChecked(on);
    syncControllers();
}

void OXFileFindView::setRegex(bool on)
{
    m_regex = on;
    if (m_regexSwitch->isChecked() != on)
        m_regexSwitch->setChecked(on);
    m_findField->setPlaceholderText(on ? QStringLiteral("Find Expression") : QStringLiteral("Find"));
    m_replaceField->setPlaceholderText(on ? QStringLiteral("Replace Expression") : QStringLiteral("Replace"));
    m_regexButton->setEnabled(on);
    colourFields();
}

void OXFileFindView::colourFields()
{
    const QColor colour = m_regex ? controller().fieldColor() : QColor(Qt::white);
    for (QLineEdit *field : {m_findField, m_replaceField}) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, colour);
        palette.setColor(QPalette::Text, Qt::black);
        field->setPalette(palette);
    }
}

void OXFileFindView::historyMenu(int index)
{
    const QList<OXFindHistory::Item> &items = m_history.items();
    if (index < 0 || index >= items.size())
        return;
    if (items.at(index).tag == -1) {
        m_history.clear();
        rebuildHistoryMenu();
        return;
    }
    QString text;
    bool regex = false;
    if (!m_history.choose(index, &text, &regex))
        return;
    m_findField->setText(text);
    setRegex(regex);
}

void OXFileFindView::rebuildHistoryMenu()
{
    m_historyMenu->clear();
    const QList<OXFindHistory::Item> &items = m_history.items();
    // The first item is the pull-down's own title; the menu lists the rest.
    for (int i = 1; i < items.size(); ++i) {
        if (items.at(i).separator) {
            m_historyMenu->addSeparator();
            continue;
        }
        QAction *action = m_historyMenu->addAction(items.at(i).title);
        connect(action, &QAction::triggered, this, [this, i] { historyMenu(i); });
    }
}

void OXFileFindView::regexOptionsMenu(const QString &title)
{
    OXRegexSettings::setOption(title, !OXRegexSettings::option(title));
    rebuildRegexMenu();
}

void OXFileFindView::syntaxMode(const QString &title)
{
    OXRegexSettings::setSyntaxTitle(title);
    rebuildRegexMenu();
}

void OXFileFindView::rebuildRegexMenu()
{
    m_regexMenu->clear();
    for (const QString &title : OXRegexSettings::optionTitles()) {
        QAction *action = m_regexMenu->addAction(title);
        action->setCheckable(true);
        action->setChecked(OXRegexSettings::option(title));
        connect(action, &QAction::triggered, this, [this, title] { regexOptionsMenu(title); });
    }
    QMenu *syntax = m_regexMenu->addMenu(QStringLiteral("Syntax"));
    const QString current = OXRegexSettings::syntaxTitle();
    for (const QString &title : OXRegexSettings::syntaxTitles()) {
        QAction *action = syntax->addAction(title);
        action->setCheckable(true);
        action->setChecked(title == current);
        connect(action, &QAction::triggered, this, [this, title] { syntaxMode(title); });
    }
}
