#pragma once
// String numbers of the language libraries, named by role. Several numbers serve two
// roles (a tooltip and a list label, a column heading and a dialog label); those get
// one name per role with the same value. kAllStringIds lists every number once: each
// language library holds all of them.

#include <array>

// Main window tooltips and the window captions they double as.
inline constexpr int kStrTipOpen = 101;  // also the folder picker's default title
inline constexpr int kStrPickerTitle = 101;
inline constexpr int kStrTipCapture = 102;
inline constexpr int kStrButtonOk = 103;  // settings dialog OK
inline constexpr int kStrTipPrint = 105;
inline constexpr int kStrTipSetting = 106;
inline constexpr int kStrSettingTitle = 106;  // settings dialog title
inline constexpr int kStrTipLayout = 107;     // layout toggle
inline constexpr int kStrTipMaximize = 107;   // maximise / restore
inline constexpr int kStrTipMinimize = 108;
inline constexpr int kStrTipAbout = 109;
inline constexpr int kStrPlayTime = 110;   // text before the play time
inline constexpr int kStrPlaySpeed = 111;  // text before the speed factor
inline constexpr int kStrTipSpeedSlider = 111;
inline constexpr int kStrTipFront = 112;
inline constexpr int kStrTipRear = 113;
inline constexpr int kStrTipBoth = 114;
inline constexpr int kStrTipPrevious = 115;
inline constexpr int kStrTipRewind = 116;
inline constexpr int kStrTipPlay = 117;
inline constexpr int kStrTipPause = 118;
inline constexpr int kStrTipForward = 119;
inline constexpr int kStrTipNext = 120;
inline constexpr int kStrTipSpeedReset = 121;
inline constexpr int kStrTipBrightnessReset = 122;
inline constexpr int kStrTipBrightness = 123;  // brightness slider
inline constexpr int kStrTipMute = 124;
inline constexpr int kStrTipVolume = 125;
inline constexpr int kStrCaptionMap = 126;  // over the map column; printout page 2
inline constexpr int kStrLatitude = 128;
inline constexpr int kStrLongitude = 129;
inline constexpr int kStrCaptionList = 130;  // over the file list column
inline constexpr int kStrTipFilterAll = 131;
inline constexpr int kStrLabelEvent = 132;  // type label of "EVT" recordings
inline constexpr int kStrTipFilterEvent = 132;
inline constexpr int kStrLabelNormal = 133;  // type label of "REC" recordings
inline constexpr int kStrTipFilterNormal = 133;
inline constexpr int kStrLabelParking = 134;  // type label of "PRK" recordings
inline constexpr int kStrTipFilterParking = 134;
inline constexpr int kStrColumnNumber = 135;  // file list column headings
inline constexpr int kStrColumnDate = 136;
inline constexpr int kStrSettingDateLabel = 136;  // label before the clock's date lists
inline constexpr int kStrColumnTime = 137;
inline constexpr int kStrSettingTimeLabel = 137;  // label before the clock's time lists
inline constexpr int kStrColumnType = 138;
inline constexpr int kStrButtonCancel = 143;
inline constexpr int kStrCaptureSavedAsk = 145;  // follows the capture's file name

// Settings dialog: groups, notes and labels.
inline constexpr int kStrSettingDeviceFrame = 148;
inline constexpr int kStrSettingCardGroup = 149;
inline constexpr int kStrSettingCardNote = 150;
inline constexpr int kStrSettingCardLabel = 151;
inline constexpr int kStrButtonFormat = 152;
inline constexpr int kStrSettingTriggerGroup = 153;
inline constexpr int kStrSettingTriggerNote = 154;
inline constexpr int kStrSettingExtraGroup = 163;
inline constexpr int kStrSettingFrameRateLabel = 164;
inline constexpr int kStrSettingResolutionLabel = 167;
inline constexpr int kStrSettingVideoGroup = 168;
inline constexpr int kStrSettingQualityLabel = 169;
inline constexpr int kStrSettingChannelsLabel = 173;
inline constexpr int kStrSettingLcdNote = 176;
inline constexpr int kStrSettingPowerOffGroup = 177;
inline constexpr int kStrSettingPowerOffNote = 178;
inline constexpr int kStrSettingAudioGroup = 179;
inline constexpr int kStrSettingAudioLabel = 180;
inline constexpr int kStrCheckRecordAudio = 181;
inline constexpr int kStrSettingSpeakerLabel = 182;
inline constexpr int kStrSettingBatteryGroup = 183;
inline constexpr int kStrRadio12V = 184;
inline constexpr int kStrRadio24V = 185;
inline constexpr int kStrSettingCutOffLabel = 186;
inline constexpr int kStrSettingClockGroup = 187;
inline constexpr int kStrCheckSetClock = 188;
inline constexpr int kStrSettingViewerGroup = 189;
inline constexpr int kStrSettingCaptureGroup = 190;
inline constexpr int kStrSettingCaptureNote = 191;
inline constexpr int kStrSettingCaptureLabel = 192;
inline constexpr int kStrButtonBrowse = 193;
inline constexpr int kStrSettingJumpGroup = 194;
inline constexpr int kStrSettingJumpNote = 195;
inline constexpr int kStrButtonDefault = 196;
inline constexpr int kStrSettingMirrorGroup = 211;
inline constexpr int kStrCheckRearMirror = 212;
inline constexpr int kStrNoCardAsk = 213;  // OK with no card chosen (OK/Cancel)
inline constexpr int kStrSettingParkingGroup = 228;
inline constexpr int kStrSettingParkingNote2 = 229;
inline constexpr int kStrSettingPowerOffLabel = 234;
inline constexpr int kStrSettingParkingNote = 237;
inline constexpr int kStrSettingTriggerLabel = 241;
inline constexpr int kStrSettingAlertGroup = 242;
inline constexpr int kStrSettingModelGroup = 246;
inline constexpr int kStrSettingModelNote = 247;
inline constexpr int kStrSettingModelLabel = 248;
inline constexpr int kStrSettingAlertNote = 254;
inline constexpr int kStrSettingAlertNote3 = 255;
inline constexpr int kStrSettingAlertNote2 = 256;

// Choices of the dashcam's setting lists.
inline constexpr int kStrCutOffNone = 155;       // first Battery CutOff Volt entry
inline constexpr int kStrTriggerHighest = 156;   // Acc Trigger Level, list order:
inline constexpr int kStrTriggerVeryHigh = 157;  //   270, 161, 160, 159, 158, 157, 156
inline constexpr int kStrTriggerHigh = 158;
inline constexpr int kStrTriggerMedium = 159;
inline constexpr int kStrTriggerLow = 160;
inline constexpr int kStrTriggerVeryLow = 161;
inline constexpr int kStrTriggerOff = 270;
inline constexpr int kStrQualityHigh = 170;  // REC Video Qulity, list order 172, 171, 170
inline constexpr int kStrQualityMedium = 171;
inline constexpr int kStrQualityLow = 172;
inline constexpr int kStrChannelsTwo = 174;  // Video Channles, list order 175, 174
inline constexpr int kStrChannelsOne = 175;
inline constexpr int kStrLcdAlwaysOn = 214;  // LCD Off Time, list order 214..217, 220
inline constexpr int kStrLcd1Minute = 215;
inline constexpr int kStrLcd3Minutes = 216;
inline constexpr int kStrLcd5Minutes = 217;
inline constexpr int kStrLcd10Minutes = 220;
inline constexpr int kStrParkingTimeLapse = 230;  // list 1034 (shown disabled)
inline constexpr int kStrParkingMotion = 232;
inline constexpr int kStrSpeakerMute = 236;  // first SPK Vol entry
inline constexpr int kStrAlertOff = 243;     // list 1123 (shown disabled)
inline constexpr int kStrAlertOn = 244;

// Folder picker.
inline constexpr int kStrPickerOk = 199;
inline constexpr int kStrPickerHistoryLabel = 227;

// Printout headings.
inline constexpr int kStrPrintPictures = 200;
inline constexpr int kStrPrintPicturesNote = 201;
inline constexpr int kStrPrintFront = 202;
inline constexpr int kStrPrintRear = 203;
inline constexpr int kStrPrintLocation = 204;
inline constexpr int kStrPrintGSensor = 205;
inline constexpr int kStrPrintGValue = 206;

// Other windows, type labels and messages.
inline constexpr int kStrTipZoom = 208;
inline constexpr int kStrZoomCaption = 208;
inline constexpr int kStrTipClose = 209;
inline constexpr int kStrLabelMotion = 210;    // type label of "MDI"/"MOT" recordings
inline constexpr int kStrFormatConfirm = 235;  // Yes/No before formatting
inline constexpr int kStrNoRecordings = 251;
inline constexpr int kStrOpenFailed = 266;
inline constexpr int kStrTipSaveCopy = 272;     // Merge button: save a card recording
inline constexpr int kStrWelcomeCaption = 273;  // loading dialog, start-up notice
inline constexpr int kStrWelcomeLine1 = 274;
inline constexpr int kStrWelcomeLine2 = 281;
inline constexpr int kStrWelcomeLine3 = 282;
inline constexpr int kStrLoadingLine1 = 276;  // loading dialog, after an open
inline constexpr int kStrLoadingLine2 = 283;
inline constexpr int kStrLoadingLine3 = 284;
inline constexpr int kStrLoadingCaption = 285;
inline constexpr int kStrFormatLegacy = 277;
inline constexpr int kStrFormatFailed = 278;  // prefix of "%s (%d)"
inline constexpr int kStrFormatDone = 279;
inline constexpr int kStrFormatBatchFailed = 280;
inline constexpr int kStrFormatBusy = 289;            // notice while a card is formatted
inline constexpr int kStrFormatFilesKept = 290;       // "%1": the folder holding the card's files
inline constexpr int kStrFormatVolumeAsk = 291;       // plain format: "%1" volume, "%2" label
inline constexpr int kStrFormatCardGone = 292;        // the card vanished during the format
inline constexpr int kStrCardAccessRefused = 340;     // "%1": the device; the system refused to open it
inline constexpr int kStrCardOpenFailed = 341;        // "%1": the device, "%2": the system's reason
inline constexpr int kStrCardRefusedForFormat = 342;  // "%1": the device; system disk or in use
inline constexpr int kStrInfoNoSetupFile = 286;       // file information view refusals
inline constexpr int kStrInfoNotCard = 287;
inline constexpr int kStrInfoNoRecordings = 288;
inline constexpr int kStrZoomNoCapture = 293;         // zoom window where the desktop refuses screen capture
inline constexpr int kStrSettingLanguageGroup = 300;  // settings dialog: the viewer's language choice
inline constexpr int kStrPrintFailed = 301;           // print: the printer or the PDF file would not start
inline constexpr int kStrPrintNoPrinter = 302;        // print: no printer set up, a PDF file is offered
inline constexpr int kStrUnsupportedVideo = 320;      // a recording's pictures no decoder takes; %1 their code
// A write the user caused failed: "%1" the file, "%2" why (kStrReason...).
inline constexpr int kStrSettingsNotSaved = 360;     // option.ini
inline constexpr int kStrCardSetupNotWritten = 361;  // setup.cfg on the card
inline constexpr int kStrCardClockNotWritten = 362;  // time.cfg on the card
inline constexpr int kStrCaptureNotSaved = 363;      // a still capture
inline constexpr int kStrReportNotSaved = 364;       // the printed report as a PDF file
inline constexpr int kStrRecordingNotSaved = 365;    // a saved copy of a recording
// A card recording could not be rebuilt for playing: "%1" the temporary folder.
inline constexpr int kStrTempFolderFull = 366;
inline constexpr int kStrTempFolderNotWritable = 367;  // "%2" why
// Why a write failed, in the user's words; the last one carries the system's ("%1").
inline constexpr int kStrReasonDiskFull = 368;
inline constexpr int kStrReasonNotPermitted = 369;
inline constexpr int kStrReasonReadOnly = 370;
inline constexpr int kStrReasonNoFolder = 371;
inline constexpr int kStrReasonSystem = 372;
// A card recording could not be rebuilt because it cannot be read whole.
inline constexpr int kStrRecordingNotRecovered = 373;
// The evidence export: its menu entries, dialog and messages.
inline constexpr int kStrMenuMarkStart = 380;
inline constexpr int kStrMenuMarkEnd = 381;
inline constexpr int kStrMenuExportClip = 382;
inline constexpr int kStrMenuExportPackage = 383;
inline constexpr int kStrExportClipTitle = 384;
inline constexpr int kStrExportPackageTitle = 385;
inline constexpr int kStrExportRange = 386;
inline constexpr int kStrExportRangeText = 387;
inline constexpr int kStrExportLayout = 388;
inline constexpr int kStrExportLayoutSide = 389;
inline constexpr int kStrExportLayoutPip = 390;
inline constexpr int kStrExportOverlay = 391;
inline constexpr int kStrExportOverlaySpeed = 392;
inline constexpr int kStrExportOverlayPosition = 393;
inline constexpr int kStrExportQualityHigh = 394;
inline constexpr int kStrExportQualityStandard = 395;
inline constexpr int kStrExportSaveTo = 396;
inline constexpr int kStrExportStart = 397;
inline constexpr int kStrExportTimeLeft = 398;
inline constexpr int kStrExportWorking = 399;
inline constexpr int kStrExportDone = 400;
inline constexpr int kStrExportFailed = 401;
inline constexpr int kStrExportCancelled = 402;
inline constexpr int kStrExportNoMarks = 403;
inline constexpr int kStrExportRangeRefused = 404;
inline constexpr int kStrExportFolderExists = 405;
// Texts the export dialog shares with others.
inline constexpr int kStrExportLayoutFront = 112;
inline constexpr int kStrExportLayoutRear = 113;
inline constexpr int kStrExportCancel = 143;
inline constexpr int kStrExportQuality = 169;
inline constexpr int kStrExportOverlayTime = 187;
inline constexpr int kStrExportBrowse = 193;
inline constexpr int kStrExportOverlayG = 205;
inline constexpr int kStrExportClose = 209;
inline constexpr int kStrSettingZoneGroup = 420;    // settings dialog: the clock's time zone
inline constexpr int kStrSettingCameraClock = 421;  // the zone list's first entry: the default clock
inline constexpr int kStrSettingUnitGroup = 422;    // settings dialog: the speed unit
inline constexpr int kStrUnitKmh = 423;
inline constexpr int kStrUnitMph = 424;
inline constexpr int kStrPrintDriving = 425;  // report page 2: the heading of speed and GPS time
inline constexpr int kStrPrintSpeed = 426;    // report: the speed line, in the unit of the setting
inline constexpr int kStrPrintGpsTime = 427;  // report: the fix's time in the chosen zone
inline constexpr int kStrKeyHelpTitle = 428;  // key-help window: title, and the playback menu's entry
inline constexpr int kStrKeyHelpKeyColumn = 429;
inline constexpr int kStrKeyHelpActionColumn = 430;
inline constexpr int kStrKeyHelpPlayPause = 431;
inline constexpr int kStrKeyHelpPrevious = 432;
inline constexpr int kStrKeyHelpNext = 433;
inline constexpr int kStrKeyHelpVolumeUp = 434;
inline constexpr int kStrKeyHelpVolumeDown = 435;
inline constexpr int kStrKeyHelpMute = 436;
inline constexpr int kStrKeyHelpBrightness = 437;
inline constexpr int kStrKeyHelpSpeed = 438;
inline constexpr int kStrKeyHelpLayout = 439;
inline constexpr int kStrKeyHelpOpen = 440;
inline constexpr int kStrKeyHelpHelp = 441;
inline constexpr int kStrKeyHelpClose = 442;
inline constexpr int kStrKeyHelpPlayRow = 443;
inline constexpr int kStrKeyHelpSeek = 444;
inline constexpr int kStrKeyHelpMenu = 445;
inline constexpr int kStrKeyHelpMaximise = 446;
inline constexpr int kStrKeyNameSpace = 447;
inline constexpr int kStrKeyNameUp = 448;
inline constexpr int kStrKeyNameDown = 449;
inline constexpr int kStrMouseListDoubleClick = 450;
inline constexpr int kStrMouseSeekBar = 451;
inline constexpr int kStrMouseRightClick = 452;
inline constexpr int kStrMouseTopBarDoubleClick = 453;
inline constexpr int kStrKeyNameCtrlRight = 454;  // key help: the keys of the seek bar's markers
inline constexpr int kStrKeyNameCtrlLeft = 455;
inline constexpr int kStrKeyHelpNextMarker = 456;
inline constexpr int kStrKeyHelpPreviousMarker = 457;
inline constexpr int kStrMouseMarker = 458;
inline constexpr int kStrKeyHelpMarker = 459;
inline constexpr int kStrSettingMarkerGroup = 460;  // settings dialog: the markers' threshold
inline constexpr int kStrSettingMarkerThreshold = 461;
inline constexpr int kStrKeyHelpSlower = 462;
inline constexpr int kStrKeyHelpFaster = 463;
inline constexpr int kStrKeyHelpNextFrame = 464;
inline constexpr int kStrKeyHelpPreviousFrame = 465;
inline constexpr int kStrMapReportError = 470;  // the map's link to the tile source's error reports

// Every number above, once, ascending.
inline constexpr std::array kAllStringIds = {
    101, 102, 103, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123,
    124, 125, 126, 128, 129, 130, 131, 132, 133, 134, 135, 136, 137, 138, 143, 145, 148, 149, 150, 151, 152, 153,
    154, 155, 156, 157, 158, 159, 160, 161, 163, 164, 167, 168, 169, 170, 171, 172, 173, 174, 175, 176, 177, 178,
    179, 180, 181, 182, 183, 184, 185, 186, 187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 199, 200, 201, 202,
    203, 204, 205, 206, 208, 209, 210, 211, 212, 213, 214, 215, 216, 217, 220, 227, 228, 229, 230, 232, 234, 235,
    236, 237, 241, 242, 243, 244, 246, 247, 248, 251, 254, 255, 256, 266, 270, 272, 273, 274, 276, 277, 278, 279,
    280, 281, 282, 283, 284, 285, 286, 287, 288, 289, 290, 291, 292, 293, 300, 301, 302, 320, 340, 341, 342, 360,
    361, 362, 363, 364, 365, 366, 367, 368, 369, 370, 371, 372, 373, 380, 381, 382, 383, 384, 385, 386, 387, 388,
    389, 390, 391, 392, 393, 394, 395, 396, 397, 398, 399, 400, 401, 402, 403, 404, 405, 420, 421, 422, 423, 424,
    425, 426, 427, 428, 429, 430, 431, 432, 433, 434, 435, 436, 437, 438, 439, 440, 441, 442, 443, 444, 445, 446,
    447, 448, 449, 450, 451, 452, 453, 454, 455, 456, 457, 458, 459, 460, 461, 462, 463, 464, 465, 470};

// The application's own string table (not a language library): the texts the
// program shows before or beside any language library.
inline constexpr int kAppStrAboutEntry = 101;     // system menu "About" entry
inline constexpr int kAppStrSocketsFailed = 103;  // network start-up failure
// Numbers from 1001 on name no language string either, so they cannot be mistaken
// for one.
inline constexpr int kAppStrFolderItemLabel = 1001;  // the folder item of the source list
inline constexpr int kAppStrRepairFailed = 1002;     // the repair cannot create its files
inline constexpr int kAppStrInfoRowAll = 1003;       // file information rows (text kinds 12 to 15)
inline constexpr int kAppStrInfoRowEvent = 1004;
inline constexpr int kAppStrInfoRowParking = 1005;
inline constexpr int kAppStrInfoRowNormal = 1006;
inline constexpr int kAppStrInfoHeading = 1007;       // file information heading (text kind 16)
inline constexpr int kAppStrInfoColumnNumber = 1008;  // card information list headings
inline constexpr int kAppStrInfoColumnName = 1009;
inline constexpr int kAppStrInfoColumnSize = 1010;
inline constexpr int kAppStrLoadingTitle = 1011;  // the loading dialog's own caption
