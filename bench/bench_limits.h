#pragma once

#include <QString>

namespace protask::bench {

// A task's rows written with the fewest statements, in one committed transaction: its `lines`
// material lines in one multi-row statement and (with `header`) its header in one more. Rows
// that exist are updated in place, as a save of a stored task does; `stamp` changes a text of
// every row so that each run writes. What a save of the same rows costs at least.
void WriteTaskRows(int taskId, int firstLineId, int lines, bool header, int stamp);

} // namespace protask::bench
