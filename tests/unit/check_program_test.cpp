// Whole runs of movrek32-check on memory files: the table of checks.cases,
// one test per case.
#include "check/check_program.h"

#include <gtest/gtest.h>

#include "cases.h"

namespace movrek::check {
namespace {

MOVREK_RUN_TABLE(Checks, checks)

}  // namespace
}  // namespace movrek::check
