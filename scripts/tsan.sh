#!/bin/sh
# ThreadSanitizer run of the tests that process audio on one thread while
# another posts GUI messages: configures the tsan preset, builds only the
# suites that hold them (graph, engine, patch, modules, app, external), and
# runs their threaded cases (host
# automation from a third thread among them); and the recorders, whose
# writer threads take what the audio thread rings; and the hosted plug-ins' host
# callback, routed from another thread while plug-ins load and unload.
set -eu
cd "$(dirname "$0")/.."
cmake --preset tsan >/dev/null
cmake --build build/tsan --target kr_test_graph kr_test_engine kr_test_patch kr_test_modules kr_test_app \
  kr_test_external
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
build/tsan/tests/kr_test_graph --gtest_filter='GraphThreads.*:EffectEndToEnd.*'
build/tsan/tests/kr_test_engine --gtest_filter='GuiPump.MessagesPostedOnAnotherThread*'
build/tsan/tests/kr_test_patch --gtest_filter='ProgramThreads.*:HostValueInbox.*'
build/tsan/tests/kr_test_modules --gtest_filter='WaveRecorder.*:MidiRecorder.*'
build/tsan/tests/kr_test_app --gtest_filter='Programs.AutomationWhileAudioRuns*'
build/tsan/tests/kr_test_external --gtest_filter='ModuleLibraries.LookupsStaySafeWhileAnotherThreadRegisters'
build/tsan/tests/kr_test_external --gtest_filter='HostCallback.RoutesCallsFromAnotherThread*'
