#pragma once
// The dashcam's settings file with the default settings, byte for byte as the viewer
// writes it: the reference the device suites compare with.

namespace devicetest {

inline constexpr char kDefaultSetupCfg[] =
    "Product Name            : Tarvo\r\n"
    "H/W Version             : V1.0.0\r\n"
    "S/W Version             : V1.00\r\n"
    "Acc Trigger Level       : 3\r\n"
    "REC Video Qulity        : 3\r\n"
    "REC Audio Enable        : 1\r\n"
    "SPK Vol                 : 3\r\n"
    "Video Channles          : 2\r\n"
    "Car Battery Volt        : 0\r\n"
    "Battery CutOff Volt     : 3\r\n"
    "Power Off Timer         : 2\r\n"
    "LCD Off Time            : 1\r\n";

}  // namespace devicetest
