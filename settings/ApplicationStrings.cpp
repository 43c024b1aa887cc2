#include "settings/ApplicationStrings.h"

#include "settings/StringIds.h"

const char* ApplicationString(int number) {
  switch (number) {
    case kAppStrAboutEntry:
      return "DezirureDovuri 정보(&A)...";
    case kAppStrSocketsFailed:
      return "Windows 소켓을 초기화하지 못했습니다.";
    default:
      return nullptr;
  }
}
