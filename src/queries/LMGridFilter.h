// LMGridFilter: what a record grid asks of the query filter shown above it.
#pragma once

#include <QString>
#include <functional>

class LMGridFilter {
public:
    virtual ~LMGridFilter() = default;

    // True while the filter is shown and restricts the grid.
    virtual bool isOpen() const = 0;
    // The restriction as " WHERE …" text to append to the grid's SELECT; empty when nothing restricts.
    virtual QString whereQuery() const = 0;

    // Called by the filter whenever its conditions change, so the grid reloads.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

protected:
    void notifyChanged()
    {
        if (m_changed)
            m_changed();
    }

private:
    std::function<void()> m_changed;
};
