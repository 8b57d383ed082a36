// LMSearchMenuModel: the passes run through LMSearchMenuWorker; a generation number cancels stale ones.
#include "LMSearchMenuModel.h"

#include "LMSearchMenuWorker.h"
#include "MyDocument.h"

#include <QTimer>

LMSearchMenuModel::LMSearchMenuModel(MyDocument *document, QObject *parent) : QObject(parent), m_document(document) {}

void LMSearchMenuModel::setSearchString(const QString &text)
{
    m_text = text;
    ++m_generation;
    m_pending = false;
    m_results.clear();
    if (!text.isEmpty() && m_document)
        LMSearchMenuWorker::findNameString(text, *m_document, m_results);
    updateList();
    if (text.size() < 2 || !m_document)
        return;
    m_pending = true;
    const quint64 generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] { runDeepPasses(generation); });
}

void LMSearchMenuModel::runDeepPasses(quint64 generation)
{
    if (generation != m_generation || !m_pending || !m_document)
        return;
    m_pending = false;
    LMSearchMenuWorker::initWithDataString(m_text, *m_document, m_results);
    LMSearchMenuWorker::initWithReportString(m_text, *m_document, m_results);
    LMSearchMenuWorker::initWithDeepString(m_text, *m_document, m_results);
    updateList();
}

void LMSearchMenuModel::finishPendingWork()
{
    runDeepPasses(m_generation);
}

void LMSearchMenuModel::updateList()
{
    const QString previous = m_selected >= 0 && m_selected < m_rows.size()
                                 ? m_rows.at(m_selected).kind + QLatin1Char('/') + m_rows.at(m_selected).name
                                 : QString();
    m_rows.clear();
    for (const QString &kind : LMSearchResults::kinds()) {
        const QStringList names = m_results.ranked(kind);
        for (int i = 0; i < names.size(); ++i)
            m_rows.append({kind, i == 0 ? kind : QString(), names.at(i)});
    }
    // Keep the highlighted result where it is when the slower passes add rows around it.
    m_selected = m_rows.isEmpty() ? -1 : 0;
    for (int i = 0; i < m_rows.size() && !previous.isEmpty(); ++i) {
        if (m_rows.at(i).kind + QLatin1Char('/') + m_rows.at(i).name == previous)
            m_selected = i;
    }
    emit listChanged();
}

void LMSearchMenuModel::selectRow(int row)
{
    if (row >= 0 && row < m_rows.size())
        m_selected = row;
}

bool LMSearchMenuModel::doCommandBySelector(Command command)
{
    if (m_rows.isEmpty())
        return command != Command::Return;
    switch (command) {
    case Command::Up: m_selected = qMax(0, m_selected - 1); break;
    case Command::Down: m_selected = qMin(int(m_rows.size()) - 1, m_selected + 1); break;
    case Command::Beginning: m_selected = 0; break;
    case Command::End: m_selected = int(m_rows.size()) - 1; break;
    case Command::Return: return choose(m_selected).has_value();
    }
    emit listChanged();
    return true;
}

std::optional<LMSearchMenuModel::Choice> LMSearchMenuModel::choose(int row)
{
    if (row < 0 || row >= m_rows.size())
        return std::nullopt;
    std::optional<Choice> choice = switchToObject(m_rows.at(row).name, m_rows.at(row).kind);
    if (choice)
        emit itemChosen(choice->kind, choice->name);
    return choice;
}

std::optional<LMSearchMenuModel::Choice> LMSearchMenuModel::switchToObject(const QString &name,
                                                                           const QString &type) const
{
    if (!LMSearchResults::kinds().contains(type) || name.isEmpty())
        return std::nullopt;
    return Choice{type, name};
}
