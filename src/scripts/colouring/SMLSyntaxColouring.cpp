// SMLSyntaxColouring: runs the colouring passes over the lines an edit or a scroll brings up and lays the
// resulting formats on those lines only (layout formats, so colouring never enters the undo history).
#include "SMLSyntaxColouring.h"

#include "ArchivedColor.h"
#include "NotificationCenter.h"
#include "OXSyntaxPrefController.h"
#include "Preferences.h"
#include "Ui.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

namespace {
// The token kind a layout format was made for.
constexpr int kindProperty = QTextFormat::UserProperty + 41;
// A bracket stays flashed this long.
constexpr int flashMilliseconds = 120;
// The current-line colour is laid over the text's background at this opacity, so a dark well colour (the
// set-up writes black) tints the line instead of hiding its text.
constexpr double lineTint = 0.08;

QColor archivedColour(const QString &key, const QColor &fallback)
{
    const QVariant v = Preferences::instance().value(key);
    if (v.typeId() == QMetaType::QByteArray) {
        if (const auto c = ArchivedColor::unarchive(v.toByteArray()))
            return *c;
    }
    return fallback;
}

bool isCloser(QChar c)
{
    return c == u')' || c == u']' || c == u'}';
}
} // namespace

SMLSyntaxColouring::SMLSyntaxColouring(SMLSyntaxColouringHost *host) : m_host(host)
{
    m_view = host ? host->firstTextView() : nullptr;
    m_pageTimer = new QTimer(this);
    m_pageTimer->setSingleShot(true);
    m_pageTimer->setInterval(0);
    connect(m_pageTimer, &QTimer::timeout, this, [this] { pageRecolour(); });
    m_flashTimer = new QTimer(this);
    m_flashTimer->setSingleShot(true);
    m_flashTimer->setInterval(flashMilliseconds);
    connect(m_flashTimer, &QTimer::timeout, this, [this] {
        m_flashSelection.clear();
        updateExtraSelections();
    });
    setSyntaxDefinition();
    setColours();
    m_observer = NotificationCenter::defaultCenter().addObserver(
        OXSyntaxPrefController::coloursChangedNotification(), nullptr, [this](const Notification &) {
            // The colouring switches and the font may have changed with the style.
            prepareRegularExpressions();
            setColours();
            if (m_view)
                recolourRange(0, m_view->document()->characterCount());
        });
    if (!m_view)
        return;
    connect(m_view->document(), &QTextDocument::contentsChange, this, &SMLSyntaxColouring::contentsChanged);
    connect(m_view, &QPlainTextEdit::cursorPositionChanged, this, &SMLSyntaxColouring::textViewDidChangeSelection);
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this, &SMLSyntaxColouring::schedulePageRecolour);
    // A taller view shows lines that no edit has recoloured yet.
    m_view->viewport()->installEventFilter(this);
    m_lastCaret = m_view->textCursor().position();
}

SMLSyntaxColouring::~SMLSyntaxColouring()
{
    NotificationCenter::defaultCenter().removeObserver(m_observer);
}

void SMLSyntaxColouring::setSyntaxDefinition()
{
    setSyntaxDefinition(SMLSyntaxDefinition::load(QStringLiteral("javascript")));
}

void SMLSyntaxColouring::setSyntaxDefinition(const SMLSyntaxDefinition &definition)
{
    m_passes = std::make_unique<SMLColouringPasses>(definition, SMLColouringSwitches::fromPreferences());
}

void SMLSyntaxColouring::prepareRegularExpressions()
{
    // The switches (multi-line strings among them) are read again with the patterns.
    setSyntaxDefinition(m_passes->definition());
}

QTextCharFormat SMLSyntaxColouring::formatForTitle(const QString &title) const
{
    const QVariantMap entry =
        OXSyntaxPrefController::currentStyle().value(OXSyntaxPrefController::entryKey(title)).toMap();
    QTextCharFormat format;
    format.setFontFamilies({Preferences::instance().stringValue(QStringLiteral("LMForm_Font_Name"))});
    format.setFontPointSize(11);
    const QString fg = entry.value(QStringLiteral("FG")).toString();
    bool readable = false;
    QColor colour = OXSyntaxPrefController::rgbaStringToColor(fg, &readable);
    if (!fg.isEmpty() && readable) {
        colour.setAlphaF(1);
        format.setForeground(colour);
    }
    if (entry.value(QStringLiteral("Bold")).toBool())
        format.setFontWeight(QFont::Bold);
    if (entry.value(QStringLiteral("Italic")).toBool())
        format.setFontItalic(true);
    if (entry.value(QStringLiteral("Underline")).toBool())
        format.setFontUnderline(true);
    return format;
}

void SMLSyntaxColouring::setColours()
{
    for (size_t k = 0; k < m_formats.size(); ++k) {
        const auto kind = SMLTokenKind(k);
        m_formats[k] = formatForTitle(styleTitle(kind));
        m_formats[k].setProperty(kindProperty, int(k));
    }
    m_lineColour = archivedColour(QStringLiteral("HighlightLineColourWell"), Qt::black);
    m_lineColour.setAlphaF(lineTint);
    m_flashColour = archivedColour(QStringLiteral("LMForm_Color_Selection"), QColor::fromRgbF(0.710f, 0.835f, 0.996f));
    if (!m_view)
        return;
    QPalette palette = m_view->palette();
    QColor background = Qt::white;
    const QString backgroundFg = OXSyntaxPrefController::currentStyle()
                                     .value(OXSyntaxPrefController::entryKey(QStringLiteral("Background")))
                                     .toMap()
                                     .value(QStringLiteral("FG"))
                                     .toString();
    if (!backgroundFg.isEmpty()) {
        background = OXSyntaxPrefController::rgbaStringToColor(backgroundFg);
        background.setAlphaF(1);
    }
    palette.setColor(QPalette::Base, background);
    // The caret is drawn in the text colour.
    palette.setColor(QPalette::Text, OXSyntaxPrefController::colorForTitle(QStringLiteral("Insertion Point"), true));
    m_view->setPalette(palette);
}

void SMLSyntaxColouring::pageRecolour()
{
    pageRecolourTextView(m_view);
}

void SMLSyntaxColouring::pageRecolourTextView(QPlainTextEdit *textView)
{
    m_pageTimer->stop();
    if (!textView || !m_host || !m_host->isSyntaxColoured())
        return;
    const QTextBlock first = textView->cursorForPosition(QPoint(0, 0)).block();
    const QWidget *viewport = textView->viewport();
    const QTextBlock last = textView->cursorForPosition(QPoint(viewport->width() - 1, viewport->height() - 1)).block();
    recolourRange(first.position(), last.position() + last.length() - 1);
}

bool SMLSyntaxColouring::eventFilter(QObject *watched, QEvent *event)
{
    if (m_view && watched == m_view->viewport() && event->type() == QEvent::Resize)
        schedulePageRecolour();
    return QObject::eventFilter(watched, event);
}

void SMLSyntaxColouring::schedulePageRecolour()
{
    m_pageTimer->start();
}

void SMLSyntaxColouring::flushPendingRecolour()
{
    if (m_pageTimer->isActive())
        pageRecolour();
}

qsizetype SMLSyntaxColouring::widenedStart(QStringView text, qsizetype start) const
{
    const SMLSyntaxDefinition &d = m_passes->definition();
    qsizetype widened = start;
    const std::pair<QString, QString> pairs[] = {{d.beginFirstMultiLineComment, d.endFirstMultiLineComment},
                                                 {d.beginSecondMultiLineComment, d.endSecondMultiLineComment}};
    // A block comment opened above the range and still open at its start colours the range's first lines.
    for (const auto &[begin, end] : pairs) {
        if (begin.isEmpty() || end.isEmpty() || start == 0)
            continue;
        const qsizetype open = text.lastIndexOf(begin, start - 1);
        if (open < 0)
            continue;
        const qsizetype close = text.indexOf(end, open + begin.size());
        if (close < 0 || close + end.size() > start)
            widened = std::min(widened, open);
    }
    while (widened > 0 && text[widened - 1] != u'\n')
        --widened;
    return widened;
}

void SMLSyntaxColouring::recolourRange(qsizetype start, qsizetype end)
{
    if (!m_view)
        return;
    QTextDocument *document = m_view->document();
    // Block separators become line feeds, which the patterns know as line ends.
    QString text = document->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    start = std::clamp<qsizetype>(start, 0, text.size());
    end = std::clamp<qsizetype>(end, start, text.size());
    start = widenedStart(text, start);
    while (end < text.size() && text[end] != u'\n')
        ++end;
    const std::vector<SMLTokenKind> kinds = m_passes->colourRange(text, start, end);
    applyKinds(start, kinds);
    m_lastRange = {start, end};
    m_recolouredCharacters += end - start;
}

void SMLSyntaxColouring::applyKinds(qsizetype start, const std::vector<SMLTokenKind> &kinds)
{
    QTextDocument *document = m_view->document();
    const qsizetype end = start + qsizetype(kinds.size());
    m_applying = true;
    for (QTextBlock block = document->findBlock(int(start)); block.isValid() && block.position() <= end;
         block = block.next()) {
        const qsizetype blockStart = block.position();
        const qsizetype blockEnd = blockStart + block.length() - 1;
        QList<QTextLayout::FormatRange> ranges;
        qsizetype i = std::max(blockStart, start);
        const qsizetype stop = std::min(blockEnd, end);
        while (i < stop) {
            const SMLTokenKind kind = kinds[size_t(i - start)];
            qsizetype j = i + 1;
            while (j < stop && kinds[size_t(j - start)] == kind)
                ++j;
            ranges.append({int(i - blockStart), int(j - i), m_formats[size_t(kind)]});
            i = j;
        }
        block.layout()->setFormats(ranges);
        if (blockEnd >= end)
            break;
    }
    document->markContentsDirty(int(start), int(end - start));
    m_applying = false;
}

void SMLSyntaxColouring::removeColoursFromRange(qsizetype start, qsizetype end)
{
    if (!m_view)
        return;
    applyKinds(start, std::vector<SMLTokenKind>(size_t(std::max<qsizetype>(0, end - start)), SMLTokenKind::Plain));
}

void SMLSyntaxColouring::setColorForTitle(const QString &title, qsizetype start, qsizetype end)
{
    if (!m_view || end <= start)
        return;
    QTextDocument *document = m_view->document();
    QTextCharFormat format = formatForTitle(title);
    m_applying = true;
    for (QTextBlock block = document->findBlock(int(start)); block.isValid() && block.position() < end;
         block = block.next()) {
        const qsizetype blockStart = block.position();
        const qsizetype from = std::max(start, blockStart) - blockStart;
        const qsizetype to = std::min(end, blockStart + block.length() - 1) - blockStart;
        // The title's format replaces what the range had; the rest of the line keeps its formats.
        QList<QTextLayout::FormatRange> kept;
        for (const QTextLayout::FormatRange &r : block.layout()->formats()) {
            if (r.start < from)
                kept.append({r.start, int(std::min<qsizetype>(r.start + r.length, from) - r.start), r.format});
            if (r.start + r.length > to)
                kept.append({int(std::max<qsizetype>(r.start, to)),
                             int(r.start + r.length - std::max<qsizetype>(r.start, to)), r.format});
        }
        kept.append({int(from), int(to - from), format});
        block.layout()->setFormats(kept);
    }
    document->markContentsDirty(int(start), int(end - start));
    m_applying = false;
}

SMLTokenKind SMLSyntaxColouring::kindAt(qsizetype position) const
{
    if (!m_view)
        return SMLTokenKind::Plain;
    const QTextBlock block = m_view->document()->findBlock(int(position));
    const qsizetype offset = position - block.position();
    for (const QTextLayout::FormatRange &r : block.layout()->formats()) {
        if (offset >= r.start && offset < r.start + r.length && r.format.hasProperty(kindProperty))
            return SMLTokenKind(r.format.intProperty(kindProperty));
    }
    return SMLTokenKind::Plain;
}

void SMLSyntaxColouring::contentsChanged(int position, int removed, int added)
{
    if (m_applying)
        return;
    // A caret that moves back because a character was deleted stepped over nothing.
    if (removed > 0 && added == 0)
        m_deletedSinceSelection = true;
    // The lines the edit touched now, the rest of what is visible once the view has laid itself out.
    recolourRange(position, position + added);
    schedulePageRecolour();
}

void SMLSyntaxColouring::highlightLineRange(qsizetype start, qsizetype end)
{
    m_lineSelection.clear();
    if (m_view && start >= 0) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(m_view->document());
        selection.cursor.setPosition(int(start));
        selection.format.setBackground(m_lineColour);
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        m_lineSelection.append(selection);
    }
    m_highlightedLine = {start, end};
    updateExtraSelections();
}

void SMLSyntaxColouring::updateExtraSelections()
{
    if (m_view)
        m_view->setExtraSelections(m_lineSelection + m_flashSelection);
}

qsizetype SMLSyntaxColouring::matchingOpeningBrace(QStringView text, qsizetype closing)
{
    if (closing < 0 || closing >= text.size() || !isCloser(text[closing]))
        return -1;
    const QChar close = text[closing];
    const QChar open = close == u')' ? u'(' : close == u']' ? u'[' : u'{';
    int depth = 0;
    for (qsizetype i = closing - 1; i >= 0; --i) {
        if (text[i] == close) {
            ++depth;
        } else if (text[i] == open) {
            if (depth == 0)
                return i;
            --depth;
        }
    }
    return -1;
}

void SMLSyntaxColouring::textViewDidChangeSelection()
{
    if (!m_view)
        return;
    const Preferences &prefs = Preferences::instance();
    const QTextCursor cursor = m_view->textCursor();
    const qsizetype caret = cursor.position();
    if (prefs.boolValue(QStringLiteral("HighlightCurrentLine"))) {
        const QTextBlock block = cursor.block();
        const std::pair<qsizetype, qsizetype> line{block.position(), block.position() + block.length() - 1};
        if (line != m_highlightedLine)
            highlightLineRange(line.first, line.second);
    }
    const qsizetype last = m_lastCaret;
    m_lastCaret = caret;
    const bool deleted = m_deletedSinceSelection;
    m_deletedSinceSelection = false;
    if (!prefs.boolValue(QStringLiteral("ShowMatchingBraces")) || cursor.hasSelection() || deleted ||
        std::abs(caret - last) != 1)
        return;
    m_flashedBrace = -1;
    const qsizetype stepped = caret > last ? caret - 1 : caret;
    QTextDocument *document = m_view->document();
    if (stepped < 0 || stepped >= document->characterCount() - 1 || !isCloser(document->characterAt(int(stepped))))
        return;
    QString text = document->toRawText();
    const qsizetype match = matchingOpeningBrace(text, stepped);
    if (match < 0) {
        Ui::instance().beep();
        return;
    }
    m_flashedBrace = match;
    QTextEdit::ExtraSelection selection;
    selection.cursor = QTextCursor(document);
    selection.cursor.setPosition(int(match));
    selection.cursor.setPosition(int(match + 1), QTextCursor::KeepAnchor);
    selection.format.setBackground(m_flashColour);
    m_flashSelection = {selection};
    updateExtraSelections();
    m_flashTimer->start();
}

QStringList SMLSyntaxColouring::completions(const QString &partial) const
{
    const QStringList &words = m_passes->definition().keywordsAndAutocompleteWords;
    const bool standard = Preferences::instance().boolValue(QStringLiteral("AutocompleteIncludeStandardWords"));
    QStringList candidates = words;
    if (standard && m_view) {
        // The text's own words stand in for the text system's suggestions.
        static const QRegularExpression wordPattern(QStringLiteral("[A-Za-z_$][A-Za-z0-9_$]+"));
        const QString text = m_view->document()->toPlainText();
        for (auto it = wordPattern.globalMatch(text); it.hasNext();) {
            const QString word = it.next().captured();
            if (word != partial && !candidates.contains(word))
                candidates.append(word);
        }
    }
    QStringList result;
    for (const QString &word : candidates) {
        if (word.startsWith(partial, Qt::CaseInsensitive))
            result.append(word);
    }
    if (standard)
        result.sort();
    return result;
}
