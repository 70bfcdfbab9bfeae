#pragma once

#include "base/status.h"
#include "printing/page_progress.h"

#include <QString>

namespace report {

class ReportDocument;

// Writes every page of `document` to a PDF file (A4, the document's orientation), the
// fonts embedded. Pages are laid out on this thread, turned into PDF on a second one and
// compressed on the others, and written in order: the same document gives the same file.
// On failure or when stopped, no file is left behind, an older file of that name is
// kept, and the reason is given.
Status writePdf(ReportDocument& document, const QString& path, const PageProgress& progress = {});

} // namespace report
