// serial_plotter.ino: sends the analog inputs A0..A3 to Quarvel (or the Arduino IDE's Serial
// Plotter) as text lines, one line per sample: "512 300 204 818" and CR LF, the converter's codes
// 0..1023 separated by spaces.
//
// Set the rate and the baud rate here, and the same rate and baud rate in Quarvel's acquisition
// panel (source "Serial lines"). A line takes up to 21 characters: 115200 baud carries about 490
// lines a second, so use 500000 or 1000000 baud for rates above 400 Hz.

const unsigned long RATE_HZ = 100;   // lines a second
const unsigned long BAUD = 115200;   // the port's speed

const unsigned long PERIOD_US = 1000000UL / RATE_HZ;
unsigned long next_us;

void setup() {
  Serial.begin(BAUD);
  next_us = micros();
}

void loop() {
  // Each line falls due one period after the one before, counted from the start rather than from
  // when the last line went out, so the rate holds however long a line takes; micros() wraps after
  // 71 minutes, which the signed difference survives.
  if ((long)(micros() - next_us) < 0) return;
  next_us += PERIOD_US;

  const int pins[4] = {A0, A1, A2, A3};
  char line[24];
  char* p = line;
  for (int i = 0; i < 4; i++) {
    if (i > 0) *p++ = ' ';
    // utoa and one write: Serial.print of each number costs about half a millisecond a line.
    utoa(analogRead(pins[i]), p, 10);
    p += strlen(p);
  }
  *p++ = '\r';
  *p++ = '\n';
  Serial.write(line, p - line);
}
