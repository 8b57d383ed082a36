// ICUPattern and ICUMatcher: thin ownership and error handling around the uregex C interface.
#include "ICUPattern.h"

#include <unicode/uregex.h>

ICUPattern::ICUPattern(const QString &pattern, unsigned flags) : m_pattern(pattern)
{
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError{};
    m_regex = uregex_open(reinterpret_cast<const UChar *>(pattern.utf16()), int32_t(pattern.size()), flags, &parseError,
                          &status);
    if (U_FAILURE(status)) {
        if (m_regex)
            uregex_close(m_regex);
        m_regex = nullptr;
        m_error =
            QStringLiteral("%1 at offset %2").arg(QString::fromLatin1(u_errorName(status))).arg(parseError.offset);
    }
}

ICUPattern::~ICUPattern()
{
    if (m_regex)
        uregex_close(m_regex);
}

ICUPattern::ICUPattern(ICUPattern &&other) noexcept
    : m_pattern(std::move(other.m_pattern)), m_error(std::move(other.m_error)), m_regex(other.m_regex)
{
    other.m_regex = nullptr;
}

ICUPattern &ICUPattern::operator=(ICUPattern &&other) noexcept
{
    if (this != &other) {
        if (m_regex)
            uregex_close(m_regex);
        m_pattern = std::move(other.m_pattern);
        m_error = std::move(other.m_error);
        m_regex = other.m_regex;
        other.m_regex = nullptr;
    }
    return *this;
}

ICUMatcher::ICUMatcher(const ICUPattern &pattern, QStringView text)
{
    if (!pattern.isValid())
        return;
    UErrorCode status = U_ZERO_ERROR;
    // A clone shares the compiled pattern but keeps its own text and match state.
    m_regex = uregex_clone(pattern.regex(), &status);
    if (U_FAILURE(status)) {
        m_regex = nullptr;
        return;
    }
    uregex_setText(m_regex, reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()), &status);
    if (U_FAILURE(status)) {
        uregex_close(m_regex);
        m_regex = nullptr;
    }
}

ICUMatcher::~ICUMatcher()
{
    if (m_regex)
        uregex_close(m_regex);
}

void ICUMatcher::setRegion(qsizetype start, qsizetype end)
{
    if (!m_regex)
        return;
    UErrorCode status = U_ZERO_ERROR;
    uregex_setRegion(m_regex, int32_t(start), int32_t(end), &status);
    if (U_SUCCESS(status)) {
        m_regionStart = start;
        m_regionEnd = end;
    }
    m_start = m_end = -1;
}

bool ICUMatcher::findNext()
{
    if (!m_regex)
        return false;
    UErrorCode status = U_ZERO_ERROR;
    const bool found = uregex_findNext(m_regex, &status);
    return readMatch(U_SUCCESS(status) && found);
}

bool ICUMatcher::findFrom(qsizetype start)
{
    if (!m_regex)
        return false;
    UErrorCode status = U_ZERO_ERROR;
    if (start < m_regionStart || (m_regionEnd >= 0 && start > m_regionEnd))
        return readMatch(false);
    // A plain reset would drop the region, so the region is set again with the new starting point.
    if (m_regionEnd >= 0)
        uregex_setRegionAndStart(m_regex, int32_t(m_regionStart), int32_t(m_regionEnd), int32_t(start), &status);
    else
        uregex_reset(m_regex, int32_t(start), &status);
    if (U_FAILURE(status))
        return readMatch(false);
    const bool found = uregex_findNext(m_regex, &status);
    return readMatch(U_SUCCESS(status) && found);
}

void ICUMatcher::reset()
{
    if (!m_regex)
        return;
    UErrorCode status = U_ZERO_ERROR;
    if (m_regionEnd >= 0)
        uregex_setRegion(m_regex, int32_t(m_regionStart), int32_t(m_regionEnd), &status);
    else
        uregex_reset(m_regex, 0, &status);
    m_start = m_end = -1;
}

bool ICUMatcher::readMatch(bool found)
{
    if (!found) {
        m_start = m_end = -1;
        return false;
    }
    UErrorCode status = U_ZERO_ERROR;
    m_start = uregex_start(m_regex, 0, &status);
    m_end = uregex_end(m_regex, 0, &status);
    if (U_FAILURE(status)) {
        m_start = m_end = -1;
        return false;
    }
    return true;
}
