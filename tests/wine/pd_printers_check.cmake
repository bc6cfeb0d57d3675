# Checks the printer tool end to end in the test prefix: cmake -DRUNNER=<wine-run.sh or empty>
# -DTOOL=<pd_printers.exe> -P pd_printers_check.cmake
cmake_minimum_required(VERSION 3.25)

# A name outside ASCII and outside most ANSI code pages.
set(name "Kelvo Tool Prüf 测试")
set(other "Kelvo Tool Other")

# Fails the check, first removing what it added so that later tests see a clean spooler.
function(fail text)
  execute_process(COMMAND ${RUNNER} ${TOOL} remove "${name}" "${other}" OUTPUT_QUIET ERROR_QUIET)
  message(FATAL_ERROR "${text}")
endfunction()

function(tool expect_ok)
  execute_process(COMMAND ${RUNNER} ${TOOL} ${ARGN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expect_ok AND NOT result EQUAL 0)
    fail("pd_printers ${ARGN} failed (${result}): ${err}")
  elseif(NOT expect_ok AND result EQUAL 0)
    fail("pd_printers ${ARGN} succeeded but should have failed")
  endif()
  if(NOT expect_ok AND err STREQUAL "")
    fail("pd_printers ${ARGN} failed without saying why")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

function(expect_line text line)
  string(FIND "${text}" "${line}\n" at)
  if(at EQUAL -1)
    fail("expected the line '${line}' in:\n${text}")
  endif()
endfunction()

function(expect_text text part)
  string(FIND "${text}" "${part}" at)
  if(at EQUAL -1)
    fail("expected '${part}' in:\n${text}")
  endif()
endfunction()

function(expect_no_line text line)
  string(FIND "${text}" "${line}" at)
  if(NOT at EQUAL -1)
    fail("did not expect '${line}' in:\n${text}")
  endif()
endfunction()

# Leftovers of an interrupted run would make `add` fail.
execute_process(COMMAND ${RUNNER} ${TOOL} remove "${name}" "${other}"
                OUTPUT_QUIET ERROR_QUIET)

tool(TRUE add "${name}" "${other}")
tool(FALSE add "${name}")  # already there

tool(TRUE show "${name}")
expect_line("${out}" "name=${name}")
expect_line("${out}" "port=FILE:")
expect_line("${out}" "driver=Wine PostScript Driver")
expect_line("${out}" "print_processor=WinPrint")
expect_line("${out}" "datatype=RAW")
string(REGEX MATCH "\nattributes=0x([0-9a-f]+)\n" attributes "${out}")
if(NOT attributes)
  fail("no attributes line in:\n${out}")
endif()
string(REGEX MATCH "\ndmPaperSize=([0-9]+)\n" paper "${out}")
if(NOT paper)
  fail("no dmPaperSize line in:\n${out}")
endif()
set(paper_size "${CMAKE_MATCH_1}")

tool(TRUE list)
expect_text("${out}" "${name}\t0x")
string(REGEX MATCH "${other}\t0x[0-9a-f]+\t${paper_size}\n" listed "${out}")
if(NOT listed)
  fail("'${other}' not listed with paper size ${paper_size}:\n${out}")
endif()

tool(TRUE offline "${name}")
tool(TRUE show "${name}")
string(REGEX MATCH "\nattributes=0x([0-9a-f]+)\n" attributes "${out}")
math(EXPR offline "0x${CMAKE_MATCH_1} & 0x400")
if(NOT offline)
  fail("offline did not set the work-offline attribute:\n${out}")
endif()
tool(TRUE online "${name}")
tool(TRUE show "${name}")
string(REGEX MATCH "\nattributes=0x([0-9a-f]+)\n" attributes "${out}")
math(EXPR offline "0x${CMAKE_MATCH_1} & 0x400")
if(offline)
  fail("online did not clear the work-offline attribute:\n${out}")
endif()

tool(TRUE remove "${name}" "${other}")
tool(TRUE list)
expect_no_line("${out}" "Kelvo Tool")
tool(FALSE show "${name}")
tool(FALSE remove "${name}")
tool(FALSE frobnicate)
