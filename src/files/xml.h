// Preset file writer and reader.
//
// Result codes (also left in xml_error):
//   0  success
//   1  an end tag with no open element of that name
//   2  a level in a state its handler does not expect
//   3  a second acceptable ID attribute on one tag
//   4  more than 63 characters of tag or element text, or a character
//      reference over 9 characters
//   6  '>' in text, '<' in a tag, "--" not followed by '>' in a comment, or
//      a character that does not belong in a number
//   7  checksum: the file read fails its check (target unchanged), or the
//      file written does not have the CRC that was written
//   8  the file cannot be opened for reading (target unchanged)
//  16  attribute name over 9 characters
//  17  attribute without '='
//  18  attribute without an opening '"'
//  19  attribute value over 9 characters
//  33  a write came out short (nothing replaced)
//  34  the file cannot be created or replaced (nothing replaced)
//
// xml_read returns 7 or 8 when nothing was read, else 0; when reading
// stopped at a problem, xml_error holds its code and the target holds the
// default preset with everything applied before the problem.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "model/preset.h"

enum : uint8_t {
  XML_OK = 0,
  XML_ERR_END_TAG = 1,
  XML_ERR_STATE = 2,
  XML_ERR_SECOND_ID = 3,
  XML_ERR_TOO_LONG = 4,
  XML_ERR_SYNTAX = 6,
  XML_ERR_CHECKSUM = 7,
  XML_ERR_OPEN = 8,
  XML_ERR_ATT_NAME = 16,
  XML_ERR_ATT_EQUALS = 17,
  XML_ERR_ATT_QUOTE = 18,
  XML_ERR_ATT_VALUE = 19,
  XML_ERR_SHORT_WRITE = 33,
  XML_ERR_CREATE = 34,
};

// Short English meaning of a result code ("checksum mismatch", ...).
const char* xml_error_text(uint8_t code);

// Module state shared by writer and reader (never both at once).
extern FILE* fp;
extern uint16_t crc_word;
extern uint8_t xml_indent;
extern uint8_t xml_error;
// errno of the system call behind the last 33 or 34 (0 if none).
extern int xml_errno;

// ---- Writer -----------------------------------------------------------------

// Writes the preset file for device `selector` (4 MV517, 2 MV961). The file
// is written to a temporary file beside the target, checked, and renamed
// over the target only when complete, so a failed save leaves the target as
// it was. Returns 0, 7, 33 or 34.
uint8_t xml_write(const char* f_name, const preset_t* preset_p, int8_t selector);
// Why the last xml_write failed with `code`: the system's reason when a
// system call failed ("No space left on device"), else the code's meaning.
std::string write_failure_text(uint8_t code);

// The CRC-16 the checksum line of the file xml_write writes for this preset
// holds (the CRC of every byte before that line), computed in memory;
// nullopt when no memory is left for it. Leaves the writer's state as it was.
std::optional<uint16_t> written_checksum(const preset_t& p, int8_t selector);

void xml_write_preset(const preset_t* preset_p, int8_t selector);
void xml_write_channel(const preset_t* preset_p, int n);
void xml_write_xo(const xo_t* xo, int index);
void xml_write_peq(const peq_t* peq, int band);
void xml_write_limiter(const dynamics_t* dyn);
// attributes == nullptr marks an end tag.
void xml_write_tag(const char* tag_text, const char* attributes, bool content);
void xml_put_int(int32_t value, int8_t decimals);
void xml_put_string(const char* string);
void xml_write_numref(uint16_t code);
void xml_write_indent();
void Fwrite_crc(const char* s);
void Fwrite_P_crc(const char* s);

// Formats a stored integer as the file writes it (for tools and tests).
void format_fixed(int32_t value, int8_t decimals, char* out, size_t out_size);

// ---- Reader -----------------------------------------------------------------

// Reads a preset file (use 0: checksum demanded) or the wizard's factory
// file (use 1: no checksum) into *preset_p, starting from the default
// preset. Sets mv_selector; reads the wizard's blocks chosen by tree_select.
uint8_t xml_read(const char* f_name, preset_t* preset_p, uint8_t use);

// Set when the last xml_read read a PRESET element to its end tag.
extern uint8_t xml_preset_done;

// The reader's building blocks, exposed for tests.
// Next character of `fp`, UTF-8 decoded to one byte (arrows U+2190-U+2195
// give 0x80-0x85, other code points above 0xFF give '?'); -1 at the end.
int xml_get_char();
// Reference decoder for element text: the character to store, or 0 while
// a reference is being collected; 0 resets it.
uint8_t xml_preproc(uint8_t c);
// -1 for a matching end tag, the name's length for a matching start tag,
// 0 otherwise.
int cmp_tag(const char* tag_buf, const char* ref_txt);
// Reads one attribute of a tag text from position `pos` into att_name and
// att_val (10 bytes each); returns the position after it, 0 when none is
// left or on an error (16-19).
int read_attribute(const char* tag, int pos, char* att_name, char* att_val);

// Parses a number as the reader does (decimals -1, 0, 1 or 2); sets
// xml_error to 6 on a bad character. Exposed for tests.
int32_t xml_get_int(const char* s, int8_t decimals);
