#include "settings/ApplicationStrings.h"

#include "settings/StringIds.h"

const char* ApplicationString(int number) {
  switch (number) {
    case kAppStrAboutEntry:
      return "DezirureDovuri 정보(&A)...";
    case kAppStrSocketsFailed:
      return "Windows 소켓을 초기화하지 못했습니다.";
    case kAppStrInfoColumnNumber:
      return "번호";
    case kAppStrInfoColumnName:
      return "파일이름";
    case kAppStrInfoColumnSize:
      return "파일크기";
    default:
      return nullptr;
  }
}
