// Every number that means something to the windows, in one place: string
// ids of the string table, control ids, menu and toolbar command ids, help
// (popup) ids and menu resource ids. Plain constants, no code.
#pragma once

namespace ids {

// ---- strings (resources/string_table.cpp) ----
enum StringId : int {
    kStrAbout = 101,
    kMsgInvalidInput = 2001,   // not a hexadecimal digit or separator
    kMsgInvalidDecimal = 2002, // digit beyond decimal
    kMsgInvalidOctal = 2003,   // digit beyond octal
    kMsgInvalidBinary = 2004,  // digit beyond binary
    kMsgOutOfMemory = 2006,    // working memory could not be had
    kMsgInvalidSeed = 2005,    // "Invalid initialization data."
    kStrPrimalityTest = 2007,  // caption of the primality verdicts
    kMsgNotPrime = 2008,
    kMsgPassedFermat = 2009,
    kMsgPassedSolovayStrassen = 2010,
    kMsgPassedMillerRabin = 2011,
    kMsgPassedAllThree = 2012,
    kMsgPrimalityInternal = 2013,
    kMsgNoValidNumber = 2015, // "No valid number to be saved."
    kMsgCannotCreateFile = 2016,
    kMsgNumberSaveOk = 2017,
    kMsgRandomNumberSaveOk = 2018,
    kMsgRandomPrimeSaveOk = 2019,
    kMsgCrcNeedMessage = 2020,
    kMsgCrcNeedFile = 2021,
    kMsgCrcCannotOpen = 2022,
    kMsgNoValidData = 2023, // "The file has no valid data."
    kMsgCrcNeedPolynomial = 2024,
    kMsgCrcCoefficientOrder = 2025, // not from high to low
    kMsgCrcOrderRange = 2026,       // a value below 0 or above 32
    kMsgCrcMsbNotSet = 2027,        // the first value is not 16 or 32
    kMsgInternalError = 2028,       // "An internal error occurred."
    kMsgChecksumNeedFile = 2035,
    kMsgChecksumCannotOpen = 2036,
    kMsgHashNeedFile = 2041,
    kMsgHashNeedMessage = 2042,
    kMsgHashCannotOpen = 2043,
    kMsgHashCannotCreate = 2045,
    kStrExportToFile = 2051,
    kMsgDataExportOk = 2052,
    kStrNumberFormatter = 2057,
    kStrSearchNextPrime = 2058,
    kStrSearchPreviousPrime = 2059,
    kStrPrimeSearchNote = 2060,
    kMsgInvalidHexData = 2070,
    kMsgNoFirst = 2077,
    kMsgNoSecond = 2078,
    kMsgBadFirst = 2079,
    kMsgBadSecond = 2080,
    kMsgInternal = 2081,
    kMsgBadThird = 2083,
    kMsgJacobiModulus = 2084,
    kMsgJacobiOrder = 2085,
    kStrSystemTipHexadecimal = 2086, // 2086 .. 2089: the four radios' tooltips
    kMsgNoUnaryValue = 2090,
    kMsgBadUnaryValue = 2091,
};

// ---- controls shared by dialogs ----
enum DialogControl : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdHelp = 57670, // the Help button of every tool dialog
};

// ---- the operation buttons of the calculator window, by the operation ----
enum OperationId : int {
    kOpIncrement = 1009,
    kOpDecrement = 1010,
    kOpLsh = 1011,
    kOpRsh = 1012,
    kOpNot = 1013,
    kOpAnd = 1014,
    kOpOr = 1015,
    kOpXor = 1016,
    kOpSquare = 1017,
    kOpSqrt = 1018,
    kOpAdd = 1019,
    kOpSubtract = 1020,
    kOpMultiply = 1021,
    kOpDivide = 1022,
    kOpMod = 1023,
    kOpGcd = 1024,
    kOpPMod = 1025,
    kOpModInverse = 1026,
    kOpJacobi = 1027,
};

// ---- the other controls of the calculator window (DIALOG 102) ----
enum CalculatorControl : int {
    kIdSystemGroup = 1001,
    kIdHexadecimal = 1002,
    kIdDecimal = 1003,
    kIdOctal = 1004,
    kIdBinary = 1005,
    kIdStepGroup = 1006,
    kIdStepUpDown = 1007,
    kIdStep = 1008,
    kIdExchange = 1028,
    kIdCopyXToY = 1029,
    kIdCopyYToX = 1030,
    kIdCopyRToX = 1031,
    kIdCopyRToY = 1032,
    kIdFormat = 1033,
    kIdReverse = 1034,
    kIdSwapW = 1035,
    kIdSwapD = 1036,
    kIdSwapL = 1037,
    kIdDigit0 = 1038,  // 1038 .. 1047: "0" .. "9"
    kIdLetterA = 1048, // 1048 .. 1053: "A" .. "F"
    kIdClear = 1054,
    kIdSpace = 1055,
    kIdBackspace = 1056,
    kIdX = 1057,
    kIdY = 1058,
    kIdZ = 1059,
    kIdR = 1060,
    kIdOperationLabel = 1061,
    kIdMemoryLabel = 1062,
    kIdMemoryClear = 1063,
    kIdMemoryRecall = 1064,
    kIdMemoryStore = 1065,
    kIdMemoryAdd = 1066,
    kIdMemorySubtract = 1067,
};

// ---- the Tip of the Day dialog ----
enum TipOfDayControl : int {
    kIdNextTip = 1,
    kIdTipClose = 2,
    kIdShowAtStartup = 1000,
    kIdTipText = 1001,
    kIdTipHeading = 1002,
};
// The tips: string 5501, then 5506 .. 5569.
inline constexpr int kStrFirstTip = 5501;
inline constexpr int kStrTipsFrom = 5506;
inline constexpr int kStrTipsTo = 5569;

// ---- the About box ----
enum AboutControl : int {
    kIdAboutBanner = 1000,
    kIdAboutProductName = 1001,
    kIdAboutVersion = 1002,
};

// ---- the Output Number dialog (DIALOG 143); its radios are kIdHexadecimal ..
// kIdBinary of the calculator window ----
inline constexpr int kIdOutputNumberText = 1533;
inline constexpr int kIdSaveAs = kIdOk;

// ---- the file tools: CRC, checksum and hash calculators ----
enum FileToolControl : int {
    kIdCalculate = kIdOk,
    kIdIgnoreRanges = 1331,     // check box "Ignore Ranges:"
    kIdIgnoreRangesText = 1354, // its edit field
    kIdMessage = 1515,          // the message box
    kIdBrowseFile = 1530,
    kIdFilePath = 1531,
    kIdHexNumber = 1533,
    kIdFromMessage = 1534,
    kIdFromFile = 1535,
    kIdBitReflected = 1536,
    kIdPolyCoefficients = 1537,
    kIdPolyNote = 1538,
    kIdInitialValue = 1539,
    kIdFinalXor = 1540,
    kIdHexByteCrc = 1541,
    kIdCrcAfterFinalXor = 1542,
    kIdProgressBar = 1544,
    kIdLeftTime = 1545,
    kIdOneByte = 1546,
    kIdTwoBytes = 1547,
    kIdFourBytes = 1548,
    kIdSwapByte = 1549,
    kIdPadValue = 1550,
    kIdHexChecksum = 1551,
    kIdChecksumAfterFinalXor = 1552,
    kIdAlgorithm = 1556,
    kIdHashValue = 1557,
    kIdHashCalculate = 1558,
    kIdHashSaveAs = 1559,
    kIdEightBytes = 1697,
};

// ---- the Primality Test rounds dialog ----
enum PrimalityTestControl : int {
    kIdTestTimes = 1529,
    kIdTestNote = 1538,
};

// ---- the Key Container Manager (DIALOG 147) ----
enum KeyContainerControl : int {
    kIdContainerName = 1553, // editable drop-down list of the known containers
    kIdCreateContainer = 1554,
    kIdDeleteContainer = 1555,
    kIdExportExchangeKeys = 1598,
    kIdExportSignatureKeys = 1599,
};

// ---- the Export Key Pair dialog (DIALOG 155) ----
enum KeyExportControl : int {
    kIdExportFolder = 1005, // read-only, filled by Browse Folder
    kIdBrowseFolder = 1014,
    kIdSessionFile = 1607,
    kIdPublicKeyFile = 1608,
    kIdPrivateKeyFile = 1609,
    kIdBaseMessage = 1610,
    kIdRc2 = 1611,
    kIdRc4 = 1612,
};

// ---- the Scripting Host Console (DIALOG 151) ----
enum ScriptConsoleControl : int {
    kIdScriptBrowse = 1530,
    kIdScriptPath = 1531,
    kIdScriptVBScript = 1571,
    kIdScriptJScript = 1572,
    kIdScriptText = 1573,
    kIdCaretLine = 1574, // also the Number Formatter's
    kIdCaretColumn = 1575,
    kIdScriptConsole = 1576,
    kIdScriptStatus = 1577,
    kIdScriptElapsed = 1578,
    kIdScriptExecute = 1579,
    kIdScriptTerminate = 1580,
};
// The caret-moved notices of the two caret edits.
inline constexpr int kMsgCaretMovedScript = 1525;
inline constexpr int kMsgCaretMovedFormatter = 1125;

// ---- the Input Text dialog (DIALOG 142) ----
enum InputTextControl : int {
    kIdInputBrowse = 1530,
    kIdInputPath = 1531,
    kIdInputPreview = 1532,
};

// ---- the Number Formatter ----
enum NumberFormatterControl : int {
    kIdLinesFromStart = 1510,
    kIdLinesFromEnd = 1511,
    kIdCharsFromStart = 1512,
    kIdCharsFromEnd = 1513,
    kIdStripText = 1514,
    kIdFormatterInput = 1515,
    kIdInputFromFile = 1516,
    kIdFormatterReset = 1517,
    kIdSepComma = 1518, // 1518 .. 1522: Comma, Space, Tab, Semicolon, Other
    kIdSepOther = 1522,
    kIdSepOtherChar = 1523,
    kIdFormatterFormat = 1033,
    kIdDecodeBase64Hex = 1695,
    kIdDecodeBase64Text = 1696,
    kIdSystemHex = 1002, // 1002 .. 1005: Hexadecimal, Decimal, Octal, Binary
};

// ---- the generators ----
enum GeneratorControl : int {
    kIdGenerate = 1,
    kIdBitCount = 1524,
    kIdSeedText = 1525,
    kIdSeedNone = 1526,
    kIdSeedAscii = 1527,
    kIdSeedHex = 1528,
    kIdPrimeTestTimes = 1529,
};

// ---- Statistical Results ----
enum StatisticsControl : int {
    kIdStatBits = 1560,
    kIdStatOnes = 1561,
    kIdStatOnesPercent = 1562,
    kIdStatZeros = 1563,
    kIdStatZerosPercent = 1564,
    kIdStatRunOnes = 1565,
    kIdStatRunZeros = 1566,
    kIdStat10 = 1567,
    kIdStat01 = 1568,
    kIdStatBytes = 1606,
};

// ---- the Bit Shifter ----
enum BitShifterControl : int {
    kIdLoadValue = 1539,
    kIdBit0 = 1613,  // 1613 .. 1644: bit i is 1613 + i
    kIdByte0 = 1645, // 1645 .. 1648
    kIdLowWord = 1649,
    kIdHighWord = 1650,
    kIdRegister = 1651,
    kIdTap0 = 1652, // 1652 .. 1683: tap i is 1652 + i
    kIdFeedbackBit = 1684,
    kIdRotate = 1685, // 1685 .. 1688: Rotate, Arithmetic, Logical, Feedback
    kIdHistory = 1689,
    kIdLoad = 1690,
    kIdClearHistory = 1692,
    kIdClearShifter = 1693,
    kIdShiftPicture = 1694,
    kIdShiftLeft = 1011,
    kIdShiftRight = 1012,
    kIdFinish = 1,
};

// ---- commands of the main menu, the toolbar and the edit box menu ----
// One id per command: the edit box's "Get CRC Value..." is the Tools menu's
// CRC command run on the box's operand, and so on.
enum Command : int {
    kCmdNumberFormatter = 32771,
    kCmdKeyContainers = 32772,
    kCmdRandomNumber = 32773,
    kCmdRandomPrime = 32774,
    kCmdCrc = 32775,  // also the edit box's "Get CRC Value..."
    kCmdHash = 32776, // also the edit box's "Get Hash Value..."
    kCmdScripts = 32777,
    kCmdImportNumber = 32778,
    kCmdExportToFile = 32779,
    kCmdChecksum = 32780,
    kCmdTopmost = 32781,
    kCmdToolTips = 32782,
    kCmdHelpContents = 32783,
    kCmdTipOfDay = 32784,
    kCmdSupport = 32787,
    kCmdAbout = 32788,
    kCmdUndo = 32789,
    kCmdCopy = 32790,
    kCmdPastePlainText = 32791,
    kCmdPasteHexText = 32792,
    kCmdDelete = 32793,
    kCmdCopyAll = 32794,
    kCmdToNextPrime = 32795,
    kCmdToPreviousPrime = 32796,
    kCmdInsertFormatText = 32797,
    kCmdInsertRandomNumber = 32798,
    kCmdInsertRandomPrime = 32799,
    kCmdRandomicityTest = 32800,
    kCmdFermatTest = 32801,
    kCmdSolovayStrassenTest = 32802,
    kCmdMillerRabinTest = 32803,
    kCmdGeneralPrimalityTest = 32804,
    kCmdUpperCase = 32805,
    kCmdBitShifter = 32806,
    kCmdCopyAllTrimSpaces = 32807,
    kCmdDesktopCalculator = 32808,
    kCmdExit = 57665,
    kCmdHelpIndex = 57666,
    kCmdHelpSearch = 57667,
    kCmdToolbar = 59392,
};
inline constexpr int kCmdGetCrcValue = kCmdCrc;
inline constexpr int kCmdGetHashValue = kCmdHash;

// ---- popup help ids (texts of "ctxpopup.txt") ----
enum HelpId : int {
    kHelpOk = 1000,
    kHelpCancel = 1001,
    kHelpHelpButton = 1003,
    kHelpTestTimes = 2001, // also the prime generator's test count
    // The CRC Value Calculator.
    kHelpCrcFromMessage = 1030,
    kHelpCrcFromFile = 1031,
    kHelpCrcMessage = 1032,
    kHelpCrcFilePath = 1033,
    kHelpCrcBrowseFile = 1034,
    kHelpBitReflected = 1035,
    kHelpCrcHexNumber = 1036,
    kHelpPolyCoefficients = 1037,
    kHelpInitialValue = 1038,
    kHelpCrcFinalXor = 1039,
    kHelpHexByteCrc = 1040,
    kHelpCrcAfterFinalXor = 1041,
    kHelpCrcCalculate = 1042,
    // The file tools' ignore ranges.
    kHelpIgnoreRanges = 1052,
    kHelpIgnoreRangesText = 1053,
    // The Checksum Calculator.
    kHelpChecksumBrowseFile = 1050,
    kHelpChecksumFilePath = 1051,
    kHelpOneByte = 1054, // 1054 .. 1057: the four widths
    kHelpSwapByte = 1058,
    kHelpPadValue = 1059,
    kHelpChecksumFinalXor = 1060,
    kHelpHexChecksum = 1061,
    kHelpChecksumAfterFinalXor = 1062,
    kHelpChecksumCalculate = 1063,
    // The Hash Value Calculator.
    kHelpHashFromMessage = 2020,
    kHelpHashFromFile = 2021,
    kHelpHashMessage = 2022,
    kHelpHashFilePath = 2023,
    kHelpHashBrowseFile = 2024,
    kHelpHashHexNumber = 2025,
    kHelpAlgorithm = 2026,
    kHelpHashValue = 2027,
    kHelpHashCalculate = 2028,
    kHelpHashSaveAs = 2029,
    // Number Formatter
    kHelpLinesFromStart = 1070,
    kHelpLinesFromEnd = 1071,
    kHelpCharsFromStart = 1072,
    kHelpCharsFromEnd = 1073,
    kHelpStripText = 1074,
    kHelpFormatterInput = 1075,
    kHelpInputFromFile = 1076,
    kHelpFormatterFormat = 1077,
    kHelpFormatterReset = 1078,
    kHelpSystemHex = 1079, // 1079 .. 1082: the four systems
    kHelpSepComma = 1083,  // 1083 .. 1087: the five separators
    kHelpSepOtherChar = 1088,
    kHelpDecodeText = 1089,
    kHelpDecodeHex = 1090,
    // the prime generator
    kHelpPrimeBitLength = 2000,
    kHelpPrimeGenerate = 2002,
    // the random number generator
    kHelpRandomBits = 2010,
    kHelpRandomSeed = 2011,
    kHelpSeedNone = 2012,
    kHelpSeedAscii = 2013,
    kHelpSeedHex = 2014,
    kHelpRandomGenerate = 2015,
    // Input Text
    kHelpInputBrowse = 2050,
    kHelpInputPath = 2051,
    kHelpInputPreview = 2052,
    // the Scripting Host Console
    kHelpScriptVBScript = 2070,
    kHelpScriptJScript = 2071,
    kHelpScriptText = 2072,
    kHelpScriptBrowse = 2073,
    kHelpScriptPath = 2074,
    kHelpScriptExecute = 2075,
    kHelpScriptTerminate = 2076,
    kHelpScriptExit = 2077,
    kHelpScriptConsole = 2078,
    kHelpScriptStatus = 2079,
    kHelpScriptElapsed = 2080,
    kHelpCaretLine = 2081,
    kHelpCaretColumn = 2082,
    // the Bit Shifter
    kHelpShiftPicture = 2150,
    kHelpHistory = 2151,
    kHelpLoad = 2152,
    kHelpLoadValue = 2153,
    kHelpRotate = 2154, // 2154 .. 2157: the four shift types
    kHelpClearHistory = 2158,
    kHelpClearShifter = 2159,
    kHelpShiftLeft = 2160,
    kHelpShiftRight = 2161,
    kHelpRegister = 2162,
    kHelpWords = 2163,
    kHelpBytes = 2164,
    kHelpBitButtons = 2165,
    kHelpTaps = 2166,
    kHelpFeedbackBit = 2167,
    kHelpOutputNumberText = 2060,
    kHelpOutputSaveAs = 2061,
    kHelpOutputHexadecimal = 2062, // 2062 .. 2065: the four radios
    kHelpContainerName = 1020,
    kHelpCreateContainer = 1021,
    kHelpDeleteContainer = 1022,
    kHelpExportExchangeKeys = 1023,
    kHelpExportSignatureKeys = 1024,
    kHelpRc2 = 2100,
    kHelpRc4 = 2101,
    kHelpBaseMessage = 2102,
    kHelpExportFolder = 2103,
    kHelpBrowseFolder = 2104,
    kHelpPublicKeyFile = 2105,
    kHelpPrivateKeyFile = 2106,
    kHelpSessionFile = 2107,
    kHelpExportExchangePair = 2108,  // the Export button for an exchange pair
    kHelpExportSignaturePair = 2109, // ... for a signature pair
};

// ---- menu resources ----
inline constexpr int kMenuHexEdit = 138;

} // namespace ids
