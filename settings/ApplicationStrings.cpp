#include "settings/ApplicationStrings.h"

#include "settings/StringIds.h"

const char* ApplicationString(int number) {
  switch (number) {
    case kAppStrAboutEntry:
      return "DezirureDovuri 정보(&A)...";
    case kAppStrSocketsFailed:
      return "Windows 소켓을 초기화하지 못했습니다.";
    case kAppStrFolderItemLabel:
      return "내 컴퓨터에서 찾기";
    case kAppStrRepairFailed:
      return "손상된 파일을 복구할 수 없습니다.";
    case kAppStrInfoRowAll:
      return "전체";
    case kAppStrInfoRowEvent:
      return "이벤트";
    case kAppStrInfoRowParking:
      return "주차";
    case kAppStrInfoRowNormal:
      return "상시";
    case kAppStrInfoHeading:
      return "파일수        크기";
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
