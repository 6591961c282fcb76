// Control ids of the connection dialog (template 102).
#pragma once

namespace talq::gui {

inline constexpr int kIdExit = 2;
inline constexpr int kIdCheckCommunication = 1001;
inline constexpr int kIdSerial = 1018;
inline constexpr int kIdParallel = 1019;
inline constexpr int kIdUsb = 1020;
inline constexpr int kIdPortList = 1022;
inline constexpr int kIdSelfTest = 1023;
inline constexpr int kIdBaudList = 1024;
inline constexpr int kIdDataBitsList = 1025;
inline constexpr int kIdParityList = 1026;
inline constexpr int kIdStopBitsList = 1027;
inline constexpr int kIdRunManager = 1030;
inline constexpr int kIdFlowControlList = 1031;
inline constexpr int kIdModelList = 1032;

}  // namespace talq::gui
