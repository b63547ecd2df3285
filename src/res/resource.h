// Resource ids of Vantrel.exe. Plain #defines only: this header is read by the
// resource compiler as well as by C++ (portable code may include it too).
// The three dialogs share one id space per dialog, so the same number can
// name different controls in different dialogs; each has its own name here.
#ifndef VANTREL_RES_RESOURCE_H
#define VANTREL_RES_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog templates
#define IDD_ABOUTBOX                100  // about box
#define IDD_VANTREL_DIALOG          102  // main window
#define IDD_COMM_SETTING            131  // communication settings
#define IDD_GRAPH_SETTING           147  // graph settings (modeless)

// String table: system-menu entries added at start-up
#define IDS_ABOUTBOX                101  // "About Vantrel(&A)..."
#define IDS_LOADLOG                 102  // "Load LogFile(&L)..."

// Icon
#define IDR_MAINFRAME               128  // application icon

// Battery pictures, named by the number of bars they show
#define IDB_BATTERY_8               133  // 8 green bars
#define IDB_BATTERY_EMPTY           134  // no bars, red inner outline
#define IDB_BATTERY_1               135  // 1 red bar
#define IDB_BATTERY_2               136  // 2 yellow bars
#define IDB_BATTERY_3               137  // 3 yellow bars
#define IDB_BATTERY_4               138  // 4 yellow bars
#define IDB_BATTERY_5               139  // 5 green bars
#define IDB_BATTERY_6               140  // 6 green bars
#define IDB_BATTERY_7               141  // 7 green bars
#define IDB_BATTERY_9               142  // 9 green bars
#define IDB_BATTERY_10              143  // 10 green bars
#define IDB_BATTERY_NONE            144  // no bars, grey outline only (start-up)
#define IDB_LOGO                    145  // logo beside the settings group

// Main window (IDD_VANTREL_DIALOG)
#define IDC_START_MEASURE           1000 // "Start measure"
#define IDC_STOP_MEASURE            1001 // "Stop measure"
#define IDC_RSOC_VALUE              1004 // RSOC edit
#define IDC_TEMP_VALUE              1005 // cell temperature edit
#define IDC_CLEAR_LOG               1006 // "Clear log"
#define IDC_STORE_LOG               1007 // "Store log..."
#define IDC_LOG_LIST                1008 // log list view (owner data)
#define IDC_COMMUNICATE             1009 // "Communicate"
#define IDC_BATTERY_PICTURE         1011 // owner-drawn battery picture
#define IDC_SETTING_GROUP           1012 // group box "Setting"
#define IDC_DATA_MEASURED_GROUP     1013 // group box "Data measured"
#define IDC_CURRENT_VALUE_GROUP     1016 // group box "Current value"
#define IDC_RSOC_LABEL              1020 // "RSOC"
#define IDC_TEMP_LABEL              1021 // "Cell temperature"
#define IDC_RSOC_UNIT               1023 // "％"
#define IDC_TEMP_UNIT               1024 // "℃"
#define IDC_READ_WORD               1034 // "Read\nword"
#define IDC_WRITE_WORD              1035 // "Write\nword"
#define IDC_READ_COMMAND            1036 // command edit of Read word
#define IDC_WRITE_COMMAND           1037 // command edit of Write word
#define IDC_READ_DATA               1038 // data edit of Read word
#define IDC_WRITE_DATA              1039 // data edit of Write word
#define IDC_OPEN_FILE               1040 // "Open file"
#define IDC_FLASH_WRITE             1041 // "Flash write"
#define IDC_PROCESS_RESULT          1042 // read-only edit "Process result"
#define IDC_FILE_TYPE               1043 // read-only edit "File type"
#define IDC_LOGO                    1045 // logo bitmap static
#define IDC_GRAPH_SETTING           1046 // "Graph Setting..."
#define IDC_ZOOM                    1047 // zoom trackbar
#define IDC_READOUT_TIME            1048 // readout box: date and time
#define IDC_READOUT_GRAPH1          1049 // readout box: graph 1
#define IDC_READOUT_GRAPH2          1052 // readout box: graph 2
#define IDC_JUMP_TO_CURSOR          1053 // "↓"
#define IDC_GRAPH_AREA              1054 // owner-drawn graph area
#define IDC_GRAPH_SCROLL            1055 // horizontal scroll bar under the graph

// Communication settings (IDD_COMM_SETTING)
#define IDC_COMM_PERIOD             1047 // period edit, digits only
#define IDC_COMM_PERIOD_SPIN        1048 // up-down, buddy IDC_COMM_PERIOD
#define IDC_COMM_I2C_CLOCK          1049 // drop-down list "100" / "400"
#define IDC_COMM_TYPE               1050 // drop-down list "I2C" / "OWSI"

// Graph settings (IDD_GRAPH_SETTING)
#define IDC_GS_GRAPH1_RSOC          1054 // graph 1 radio: RSOC (first of group 1)
#define IDC_GS_GRAPH1_TEMP          1055 // graph 1 radio: Temp
#define IDC_GS_GRAPH1_VOLT          1056 // graph 1 radio: Volt
#define IDC_GS_GRAPH2_RSOC          1057 // graph 2 radio: RSOC (first of group 2)
#define IDC_GS_GRAPH2_TEMP          1058 // graph 2 radio: Temp
#define IDC_GS_GRAPH2_VOLT          1059 // graph 2 radio: Volt
#define IDC_GS_GRAPH2_NONE          1060 // graph 2 radio: None
#define IDC_GS_RSOC_MIN             1061 // RSOC minimum edit
#define IDC_GS_RSOC_MAX             1039 // RSOC maximum edit
#define IDC_GS_TEMP_MIN             1062 // Temp minimum edit
#define IDC_GS_TEMP_MAX             1064 // Temp maximum edit
#define IDC_GS_VOLT_MIN             1063 // Volt minimum edit
#define IDC_GS_VOLT_MAX             1065 // Volt maximum edit
#define IDC_GS_OK                   1067 // "OK" (hides and applies)
#define IDC_GS_APPLY                1068 // "Apply"

// About box (IDD_ABOUTBOX)
#define IDC_ABOUT_COPYRIGHT         1056 // legal notice
#define IDC_ABOUT_NAME              1057 // product name and version line

#endif
