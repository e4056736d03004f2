#pragma once
// The instrument link: the serial port, the measurement exchange and the controller parameters.

// Opens port com_nummer at start; when it names nothing or cannot be opened, the status line says
// why and the serial-port panel is shown.
void ComOpen();

// Opens port com_nummer with the instrument's line settings; 0, or the RS-232 error code.
int openPort();

// Makes the COMn entry for the device chosen in the serial-port panel's list (portChoiceTarget),
// when OK is pressed with that number. true when it was made. Otherwise nothing is opened: the
// panel (and for a failure the status line) says why; an entry another instance made meanwhile
// is kept, and the next free number is offered in its place.
bool makeChosenEntry(int n);

// One measurement exchange: the request sent, the reply parsed into mw (zeros when it failed) and
// pO2 computed; the status line tells a failure. Returns 0, or the failure's code (1 for a reply
// that does not begin with 'u').
int pollInstrument();

// Reads the five controller parameters into their fields (stellen 0) or writes the fields'
// values to the instrument (stellen 1).
void stellregelparameter(int stellen);

// Callbacks of the serial-port and the controller-parameter panels, bound by name in TEVRAN.uir.
void comport(int menuBar, int menuItem, void* callbackData, int panel);
int portpick(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int portcancel(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int port_ende(int panel, int event, void* callbackData, int eventData1, int eventData2);
// Called about once a second while the serial-port panel is shown: the list follows the devices.
void portwatch();
void regoffen(int menuBar, int menuItem, void* callbackData, int panel);
int regok(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int reg_ende(int panel, int event, void* callbackData, int eventData1, int eventData2);
