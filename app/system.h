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

// Instrument link (instrument/).
void ComOpen();
void reopenIfGone();
void notePortStatus(int status);
void wert();
void stellregelparameter(int stellen);

// Data files (datafiles/).
// The comment prompt and the six header lines; 0, or -1 when they could not be written whole.
int dateikopf();
void wertspeichern();
// A data file that lost its name during the recording (deleted, its folder removed) is given one
// again, with every line so far, and the status line says where. `now` tries at once; otherwise a
// failed try is repeated at most every 10 s. One fstat when the file still has its name.
void keepDataFileNamed(bool now);
// Closes the data file of a recording, named again first if it lost its name; ends the recording.
void closeDataFile();
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
void regoffen(int menuBar, int menuItem, void* callbackData, int panel);
int regok(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int reg_ende(int panel, int event, void* callbackData, int eventData1, int eventData2);
int skaliere(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int m_run(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int m_stop(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int oeffnen(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
