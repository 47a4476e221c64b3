// main() of the test programs on Windows. Under Wine a crash would end with
// status 0 or wait on an error dialog: the filter ends it as a failure.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

static LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* info) {
  std::fprintf(stderr, "test program crashed: exception 0x%08lx\n",
               info->ExceptionRecord->ExceptionCode);
  std::fflush(stderr);
  ::TerminateProcess(::GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

int main(int argc, char** argv) {
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  ::SetUnhandledExceptionFilter(EndOnCrash);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
