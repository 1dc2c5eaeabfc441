#pragma once

#include <string>
#include <string_view>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "text/byte_io.h"

namespace movrek {

// The keywords of movrek.cfg in their fixed table order; the index selects the action.
enum class Keyword {
  kHeader,
  kFooter,
  kNoDesc,
  kExcludeAreas,
  kGroup,
  kEndGroup,
  kReport,
  kDruvoDir,
  kReportWidth
};

// Returns the index of the first keyword equal to `word` under compare_names, or -1.
int find_keyword(std::string_view word);

// Longest name taken from EXCLUDEAREAS and GROUP lines, and longest file name
// taken from HEADER, FOOTER, REPORT and DRUVODIR lines.
inline constexpr long kNameLimit = 32;
inline constexpr long kFileNameLimit = 260;
// The template directory, with its separator, fits in this many bytes.
inline constexpr std::size_t kTemplateDirLimit = 259;

// Reads the configuration at `path` into `settings` and the group chain of
// `catalog`. `separator` is the host's directory separator that DRUVODIR
// appends. Returns 0 when the file was read to its end, -1 when it cannot be
// opened (nothing changed), or the number of the line in error at which
// reading stopped, a read that failed included (what earlier lines set stays
// in effect; a group still open is dropped). Prints nothing. Throws
// std::bad_alloc when memory runs out, the file system's included.
int read_config(FileSystem& files, const std::string& path, char separator, Settings& settings,
                Catalog& catalog);

// The same from an open byte source.
int read_config(ByteSource& source, char separator, Settings& settings, Catalog& catalog);

}  // namespace movrek
