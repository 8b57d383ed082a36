// PrintInfoCodec: a page layout as the stored "Print Info" value of reports (paper, orientation, margins).
#pragma once

#include "Value.h"

#include <QPageLayout>
#include <QString>
#include <optional>

// Stored form, version 1: a dictionary
//   "Print Info Version"  1; a reader refuses any other version
//   "Paper Name"          the paper's key ("Letter", "A4", ...), or a custom size's own key
//   "Paper Width", "Paper Height"      the paper in points, portrait (width <= height for the standard papers)
//   "Orientation"         "Portrait" or "Landscape"
//   "Left Margin", "Top Margin", "Right Margin", "Bottom Margin"   in points, of the page as oriented
// A reader takes the standard paper of that name when its size agrees (or is missing), else a custom paper of
// the stored size. Layouts in other units come back in points, equivalent to the original.
namespace PrintInfoCodec {
Value encode(const QPageLayout &layout);
// Nothing, with *error set, for a malformed value: unknown paper without a usable size, a size or margin that is
// not a finite number, negative margins or margins that leave no printable area.
std::optional<QPageLayout> decode(const Value &stored, QString *error = nullptr);
} // namespace PrintInfoCodec
