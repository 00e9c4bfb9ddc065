# Sourced by the sanitizer stage: how the instrumented tests and programs
# report. Every finding ends the process with a failure; leaks are reported
# only for the project's own code (lsan.supp names what system libraries keep
# on purpose). Programs the tests start inherit these settings; the engine
# (/usr/bin/mplayer) is not instrumented and ignores them.
sanitizers_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=0:abort_on_error=0
export LSAN_OPTIONS=suppressions=$sanitizers_dir/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
