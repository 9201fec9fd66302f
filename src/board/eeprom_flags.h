// Reading and writing the flag area of the board's EEPROM. Internal: not exported and
// not called by the module's own operations. Each needs a session opened by its caller.
#ifndef TORVEX_EEPROM_FLAGS_H
#define TORVEX_EEPROM_FLAGS_H

// Largest reply accepted from a flag read: the board's announced length is not trusted
// beyond it.
constexpr unsigned long kMaxFlagReplyLength = 65536;

// 0 when the read was not accepted (out arguments untouched); otherwise what _GetResult
// returned, or 1 when nothing was fetched. The caller releases *reply with free().
int Read_FlagEEPROM(char* request, unsigned long count, char** reply, unsigned long& replyLength);

// 1 when the write was accepted (the application is then started and the board reset).
int Write_FlagEEPROM(char* data, unsigned long count);

// Reads the flag byte into `value`; returns Read_FlagEEPROM's result.
int Test_FlagEEPROM(unsigned char& value);

#endif
