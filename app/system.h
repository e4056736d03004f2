#pragma once
// The program's named functions, callable across its folders.
#include <string>

// Start-up and shutdown (app/).
int tevranStartup();  // main's steps up to the event loop; 0, or 1 when the panels can't load
void setup();
[[noreturn]] void enden();

// Value display and strip chart (display/).
void messwert(int no);
void faerben(int anders);
void plotten();
void scaleSC();
// Dims the minimum and maximum fields of each axis whose automatic-scaling switch is on: the
// limits stay stored and apply again once the switch is off.
void dimAxisLimits();
// The main panel's status line: a sentence about the data file and one about the instrument link,
// shown together, the file's first. An empty text clears that topic's sentence.
enum class StatusTopic { File, Link };
void setStatus(StatusTopic topic, const std::string& text);
// The main window's title from the state: the port while it is open and the data file while
// one is recorded, so that the task bar tells two instruments apart.
std::string mainTitle();
void showTitle();

// Instrument link (instrument/).
void ComOpen();
void reopenIfGone();
void notePortStatus(int status);
void portwatch();  // the serial devices may have changed while the serial-port panel is shown
void wert();
void stellregelparameter(int stellen);

// Data files (datafiles/).
void dateikopf();
void wertspeichern();
void darstellen();
void offen_odat();

// Callbacks bound by name in TEVRAN.uir.
int timer(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int beenden(int panel, int event, void* callbackData, int eventData1, int eventData2);
void about(int menuBar, int menuItem, void* callbackData, int panel);
void vamor1(int menuBar, int menuItem, void* callbackData, int panel);
int vamor_end(int panel, int event, void* callbackData, int eventData1, int eventData2);
void allvalues(int menuBar, int menuItem, void* callbackData, int panel);
int av_ende(int panel, int event, void* callbackData, int eventData1, int eventData2);
void comport(int menuBar, int menuItem, void* callbackData, int panel);
int portpick(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int comok(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int portcancel(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int port_ende(int panel, int event, void* callbackData, int eventData1, int eventData2);
void regoffen(int menuBar, int menuItem, void* callbackData, int panel);
int regok(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int reg_ende(int panel, int event, void* callbackData, int eventData1, int eventData2);
int skaliere(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int m_run(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int m_stop(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int oeffnen(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
