#pragma once
// The program's named functions: the three layers' and what app/ coordinates with them.
#include <string>

#include "datafiles/datafiles.h"
#include "display/display.h"
#include "instrument/instrument.h"

// Start-up and shutdown.
int tevranStartup();  // main's steps up to the event loop; 0, or 1 when the panels can't load
void setup();
[[noreturn]] void enden();

// One poll cycle: the exchange, the value fields, the data file's line and the chart.
void wert();

// Alarms (app/alarms.cpp).
void setupAlarms();  // the limits and the command from tevran.conf into the state and the panel
void alarmPoll(bool good);  // after each poll, its values in mw
void alarmsRunStarted();
void alarmsRecordingStarted();
void alarmsRunEnded();
void closeAlarmFile();
// The main window's title: its own with the port while it is open and the data file while one
// is recorded (so that the task bar tells two instruments apart), after "ALARM - " while an
// alarm is up.
std::string mainTitle();
// A file's name after its folder.
std::string fileNameOf(const std::string& path);
void showTitle();

// A stored data file on the chart: shown (darstellen) and chosen (offen_odat).
void darstellen();
void offen_odat();
// A chart's stored file drawn for the range it shows: the whole file, or the zoomed range read
// again; with the values under the pointer.
void showStored(int panel, int control);

// The whole-recording window (app/) taking in the lines added to the file being recorded, every
// few seconds: called on every tick of the main timer.
void followRecording();

// Callbacks bound by name in TEVRAN.uir (the serial-port and controller-parameter panels' own
// are in instrument/instrument.h).
int timer(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int beenden(int panel, int event, void* callbackData, int eventData1, int eventData2);
void about(int menuBar, int menuItem, void* callbackData, int panel);
void vamor1(int menuBar, int menuItem, void* callbackData, int panel);
int vamor_end(int panel, int event, void* callbackData, int eventData1, int eventData2);
void allvalues(int menuBar, int menuItem, void* callbackData, int panel);
int av_ende(int panel, int event, void* callbackData, int eventData1, int eventData2);
int comok(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int skaliere(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int m_run(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int m_stop(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
void wholerecording(int menuBar, int menuItem, void* callbackData, int panel);
int whole_ende(int panel, int event, void* callbackData, int eventData1, int eventData2);
void savechart(int menuBar, int menuItem, void* callbackData, int panel);
void copychart(int menuBar, int menuItem, void* callbackData, int panel);
int chartview(int panel, int control, int event, void* callbackData, int eventData1,
              int eventData2);
void alarms(int menuBar, int menuItem, void* callbackData, int panel);
int alarms_close(int panel, int event, void* callbackData, int eventData1, int eventData2);
int alarms_set(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int oeffnen(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
