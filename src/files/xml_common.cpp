#include <cstring>

#include "files/xml.h"

FILE* fp = nullptr;
uint16_t crc_word = 0xFFFF;
uint8_t xml_indent = 0;
uint8_t xml_error = 0;
int xml_errno = 0;

const char* xml_error_text(uint8_t code) {
  switch (code) {
    case XML_OK:
      return "success";
    case XML_ERR_END_TAG:
      return "an end tag with no open element of that name";
    case XML_ERR_STATE:
      return "unexpected reader state";
    case XML_ERR_SECOND_ID:
      return "a second ID attribute on one tag";
    case XML_ERR_TOO_LONG:
      return "a tag, text or character reference is too long";
    case XML_ERR_SYNTAX:
      return "a character that does not belong there";
    case XML_ERR_CHECKSUM:
      return "checksum mismatch";
    case XML_ERR_OPEN:
      return "cannot open the file";
    case XML_ERR_ATT_NAME:
      return "attribute name too long";
    case XML_ERR_ATT_EQUALS:
      return "attribute without '='";
    case XML_ERR_ATT_QUOTE:
      return "attribute value without quotes";
    case XML_ERR_ATT_VALUE:
      return "attribute value too long";
    case XML_ERR_SHORT_WRITE:
      return "the file could not be written completely";
    case XML_ERR_CREATE:
      return "cannot create or replace the file";
    default:
      return "unknown error";
  }
}

std::string write_failure_text(uint8_t code) {
  if (xml_errno != 0) return std::strerror(xml_errno);
  return xml_error_text(code);
}
