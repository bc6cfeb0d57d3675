#include <gtest/gtest.h>
#include "printing/printer_list_refresh.h"
#include "tests/support/sim_spooler.h"
TEST(Smoke, Builds) { SUCCEED(); }
