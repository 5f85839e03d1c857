#!/bin/sh
# ThreadSanitizer run of the tests that process audio on one thread while
# another posts GUI messages: configures the tsan preset, builds only the
# graph, queue and parameter suites, and runs their threaded cases (host
# automation from a third thread among them); and the recorders, whose
# writer threads take what the audio thread rings.
set -eu
cd "$(dirname "$0")/.."
cmake --preset tsan >/dev/null
cmake --build build/tsan --target kr_test_graph kr_test_queues kr_test_params kr_test_samples kr_test_programs \
  kr_test_external
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
build/tsan/tests/kr_test_graph --gtest_filter='GraphThreads.*:EffectEndToEnd.*'
build/tsan/tests/kr_test_queues --gtest_filter='GuiPump.MessagesPostedOnAnotherThread*'
build/tsan/tests/kr_test_params --gtest_filter='ProgramThreads.*'
build/tsan/tests/kr_test_samples --gtest_filter='WaveRecorder.*:MidiRecorder.*'
build/tsan/tests/kr_test_programs --gtest_filter='Programs.AutomationWhileAudioRuns*'
build/tsan/tests/kr_test_external --gtest_filter='ModuleLibraries.LookupsStaySafeWhileAnotherThreadRegisters'
