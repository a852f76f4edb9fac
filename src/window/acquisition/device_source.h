// The signal source of the acquisition panel: the source list, the port and baud rate of a device,
// the line under the surface that says what is in use, and starting the chosen device for a run
// with every refusal and fault told to the user.
#pragma once

#include <QString>
#include <memory>

#include "acquisition/serial_device.h"
#include "acquisition/source_choice.h"

namespace quarvel {

class MainWindow;

// Title of the messages about a serial device.
extern const char* const kDeviceTitle;

SourceKind chosen_source(const MainWindow& w);
// The port of port_list: the path of a listed port whose caption it shows, else the text typed.
QString chosen_port(const MainWindow& w);
// The settings a device run starts with: the panel's source, port, baud rate and rate, the inputs
// of the channels, the kept stimulus pin.
DeviceSettings chosen_device_settings(const MainWindow& w);

// Starts the chosen device; on a refusal or a port that cannot be opened the user is told why
// (naming the port) and null comes back, with nothing else changed.
std::unique_ptr<SerialDevice> start_chosen_device(MainWindow& w);

// After a run: the device is stopped, the source line keeps its last status, and a stream that
// ended by itself (`ended` from acquire) is told to the user with what was kept.
void finish_device_run(MainWindow& w, SerialDevice& device, const QString& ended);

// The source line for the source chosen, and with the status of its running device.
void show_source(MainWindow& w);
void show_source_status(MainWindow& w, const DeviceStatus& st);

// The listed serial ports into port_list, the text shown kept.
void fill_port_list(MainWindow& w);

// Chosen in src_list: the source in force, a device's default baud rate, the ports listed anew.
void src_list_click(MainWindow& w);

}  // namespace quarvel
