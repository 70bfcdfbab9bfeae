#include "tax/return_deadlines.h"

#include "store/schema.h"

namespace tax {

const ReturnDeadlines& knownReturnDeadlines() {
    static const ReturnDeadlines deadlines = [] {
        ReturnDeadlines all;
        for (const store::schema::SeededReturnDeadline& d : store::schema::seededReturnDeadlines())
            all.insert(d.violationYear, {d.deadline, d.confirmed});
        return all;
    }();
    return deadlines;
}

} // namespace tax
