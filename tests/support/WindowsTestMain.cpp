// main() of the test programs on Windows. Under Wine a test program that
// crashes (an access violation, a failed assertion's abort) would otherwise
// end with status 0 or wait on an error dialog: the filter below ends it at
// once with a status ctest counts as a failure.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

namespace {

constexpr UINT kCrashStatus = 3;

LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* info) {
  std::fprintf(stderr, "test program crashed: exception 0x%08lx\n",
               info->ExceptionRecord->ExceptionCode);
  std::fflush(stderr);
  ::TerminateProcess(::GetCurrentProcess(), kCrashStatus);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  ::SetUnhandledExceptionFilter(EndOnCrash);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
