#include "app/ServiceDispatcher.h"

#include "loader/UploadDriver.h"

namespace kestrix {

namespace {
// The decoder leaves twice the letter's code.
constexpr int Request(char letter) { return 2 * letter; }
}  // namespace

void ServiceDispatcher::CarryOut(int request, const ServiceContext& context) {
  switch (request) {
    case Request('b'):
    case Request('e'):
      UploadProgram(context);
      return;
    case Request('t'):
      SendTextFile(context);
      return;
    case Request('i'):
      LaunchOnPc(context);
      return;
    case Request('f'):
      SendFileBlocks(context);
      return;
    case Request('a'):
      SendPreparedFileBlocks(context);
      return;
    case Request('o'):
      SendPreparedFileSize(context);
      return;
    case Request('s'):
      WriteFileOnPc(context);
      return;
    default:
      return;
  }
}

void ServiceDispatcher::UploadProgram(const ServiceContext& context) {
  UploadFile(context.settings.BinPath + context.screenText, context.loader,
             context.settings, context.loaderImage, context.logo);
}

// The file services come with the transfers that carry them out.
void ServiceDispatcher::SendTextFile(const ServiceContext&) {}
void ServiceDispatcher::LaunchOnPc(const ServiceContext&) {}
void ServiceDispatcher::SendFileBlocks(const ServiceContext&) {}
void ServiceDispatcher::SendPreparedFileBlocks(const ServiceContext&) {}
void ServiceDispatcher::SendPreparedFileSize(const ServiceContext&) {}
void ServiceDispatcher::WriteFileOnPc(const ServiceContext&) {}

}  // namespace kestrix
