#include "reports/ledger_documents.h"

#include "reports/f24_plan_document.h"
#include "reports/payee_certificate_document.h"
#include "reports/payee_certificate_table.h"
#include "reports/st770_document.h"
#include "spreadsheets/memory_rows.h"

namespace {

bool named(const QString& name, const QString& wanted) {
    return name.compare(wanted, Qt::CaseInsensitive) == 0;
}

void setNoData(PreparedReport& prepared) {
    prepared.outcome = ReportOutcome::NoData;
    prepared.messageText = catalogue::kNoDataText;
    prepared.messageTitle = catalogue::kNoDataTitle;
}

void setDocument(PreparedReport& prepared, const LineDocument& doc) {
    prepared.layout = doc.layout();
    prepared.rows = std::make_shared<report::ReportData>(doc.data());
}

} // namespace

Result<PreparedReport> prepareLedgerDocument(const ReportRequest& request, const QDate& printDate) {
    Result<PreparedReport> result;
    PreparedReport& prepared = result.value;
    if (named(request.name, payee_certificate::kName)) {
        const Result<CertificateYear> year =
            readCertificateYear(request.userId, request.year, request.subject);
        if (!year.ok()) {
            result.status = year.status;
            return result;
        }
        if (year.value.payees.isEmpty())
            setNoData(prepared);
        else {
            setDocument(prepared, payeeCertificateDocument(year.value, printDate));
            prepared.table =
                table_export::memoryTable(certificateTableShape(year.value, request.subject),
                                          certificateTableRows(year.value));
        }
        return result;
    }
    if (named(request.name, st770::kName) || named(request.name, st770::kGeneralName)) {
        const bool general = named(request.name, st770::kGeneralName);
        Result<St770Pages> pages = st770Pages(request.userId, request.year.toInt(), general);
        if (!pages.ok()) {
            result.status = pages.status;
            return result;
        }
        if (pages.value.isEmpty)
            setNoData(prepared);
        else {
            prepared.layout = pages.value.layout;
            prepared.rows = std::move(pages.value.lines);
            prepared.table = std::move(pages.value.table);
        }
        return result;
    }
    if (request.month < 1 || request.month > 12) {
        prepared.outcome = ReportOutcome::NoDate;
        prepared.messageText = catalogue::kNoDateText;
        prepared.messageTitle = catalogue::kNoDateTitle;
        return result;
    }
    const bool general = named(request.name, f24_plan::kGeneralName);
    const Result<F24Plan> plan =
        readF24Plan(general ? QString() : request.userId, request.year.toInt(), request.month);
    if (!plan.ok()) {
        result.status = plan.status;
        return result;
    }
    if (plan.value.isEmpty())
        setNoData(prepared);
    else {
        setDocument(prepared, f24PlanDocument(plan.value, general));
        prepared.table = f24PlanTable(plan.value, general);
    }
    return result;
}
