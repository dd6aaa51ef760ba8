#pragma once
// Window classes and control identifiers of the reference modules, for tools and tests that
// drive them from outside.
#define TANDREL_MULTIPAIR_CLASS L"TandrelMultiPairForm"
#define TANDREL_RSSI_CLASS L"TandrelRSSIDisplay"

// Controls of both windows. IDCANCEL (2) is each window's Close button.
#define TANDREL_ID_STATUS 100    // status line: countdown, results, problems
#define TANDREL_ID_INFO 101      // instructions, or the current radio values
#define TANDREL_ID_PROGRESS 102  // pairing countdown
#define TANDREL_ID_DEVICES 103   // list box of the devices paired in this session
#define TANDREL_ID_START 104
#define TANDREL_ID_STOP 105
