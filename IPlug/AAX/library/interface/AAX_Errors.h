#pragma once

#include <string>

#include "AAX.h"

// The AAX result codes. Every operation that faces the host answers 0 or one of these.
constexpr AAX_Result AAX_ERROR_INVALID_PARAMETER_ID = -20001;
constexpr AAX_Result AAX_ERROR_INVALID_STRING_CONVERSION = -20002;
constexpr AAX_Result AAX_ERROR_INVALID_METER_INDEX = -20003;
constexpr AAX_Result AAX_ERROR_NULL_OBJECT = -20004;
constexpr AAX_Result AAX_ERROR_OLDER_VERSION = -20005;
constexpr AAX_Result AAX_ERROR_INVALID_CHUNK_INDEX = -20006;
constexpr AAX_Result AAX_ERROR_INVALID_CHUNK_ID = -20007;
constexpr AAX_Result AAX_ERROR_INCORRECT_CHUNK_SIZE = -20008;
constexpr AAX_Result AAX_ERROR_UNIMPLEMENTED = -20009;
constexpr AAX_Result AAX_ERROR_INVALID_PARAMETER_INDEX = -20010;
constexpr AAX_Result AAX_ERROR_NOT_INITIALIZED = -20011;
constexpr AAX_Result AAX_ERROR_ACF_ERROR = -20012;
constexpr AAX_Result AAX_ERROR_INVALID_METER_TYPE = -20013;
constexpr AAX_Result AAX_ERROR_CONTEXT_ALREADY_HAS_METERS = -20014;
constexpr AAX_Result AAX_ERROR_NULL_COMPONENT = -20015;
constexpr AAX_Result AAX_ERROR_PORT_ID_OUT_OF_RANGE = -20016;
constexpr AAX_Result AAX_ERROR_FIELD_TYPE_DOES_NOT_SUPPORT_DIRECT_ACCESS = -20017;
constexpr AAX_Result AAX_ERROR_DIRECT_ACCESS_OUT_OF_BOUNDS = -20018;
constexpr AAX_Result AAX_ERROR_FIFO_FULL = -20019;
constexpr AAX_Result AAX_ERROR_INITIALIZING_PACKET_STREAM_THREAD = -20020;
constexpr AAX_Result AAX_ERROR_POST_PACKET_FAILED = -20021;
constexpr AAX_Result AAX_RESULT_PACKET_STREAM_NOT_EMPTY = -20022;
constexpr AAX_Result AAX_RESULT_ADD_FIELD_UNSUPPORTED_FIELD_TYPE = -20023;
constexpr AAX_Result AAX_ERROR_MIXER_THREAD_FALLING_BEHIND = -20024;
constexpr AAX_Result AAX_ERROR_INVALID_FIELD_INDEX = -20025;
constexpr AAX_Result AAX_ERROR_MALFORMED_CHUNK = -20026;
constexpr AAX_Result AAX_ERROR_TOD_BEHIND = -20027;
constexpr AAX_Result AAX_RESULT_NEW_PACKET_POSTED = -20028;
constexpr AAX_Result AAX_ERROR_PLUGIN_NOT_AUTHORIZED = -20029;
constexpr AAX_Result AAX_ERROR_PLUGIN_NULL_PARAMETER = -20030;
constexpr AAX_Result AAX_ERROR_NOTIFICATION_FAILED = -20031;
constexpr AAX_Result AAX_ERROR_INVALID_VIEW_SIZE = -20032;
constexpr AAX_Result AAX_ERROR_SIGNED_INT_OVERFLOW = -20033;
constexpr AAX_Result AAX_ERROR_NO_COMPONENTS = -20034;
constexpr AAX_Result AAX_ERROR_DUPLICATE_EFFECT_ID = -20035;
constexpr AAX_Result AAX_ERROR_DUPLICATE_TYPE_ID = -20036;
constexpr AAX_Result AAX_ERROR_EMPTY_EFFECT_NAME = -20037;
constexpr AAX_Result AAX_ERROR_UNKNOWN_PLUGIN = -20038;
constexpr AAX_Result AAX_ERROR_PROPERTY_UNDEFINED = -20039;
constexpr AAX_Result AAX_ERROR_INVALID_PATH = -20040;
constexpr AAX_Result AAX_ERROR_UNKNOWN_ID = -20041;
constexpr AAX_Result AAX_ERROR_UNKNOWN_EXCEPTION = -20042;
constexpr AAX_Result AAX_ERROR_INVALID_ARGUMENT = -20043;
constexpr AAX_Result AAX_ERROR_NULL_ARGUMENT = -20044;
constexpr AAX_Result AAX_ERROR_INVALID_INTERNAL_DATA = -20045;
constexpr AAX_Result AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW = -20046;

// A trace whose text could not be formatted. It has no name of its own.
constexpr AAX_Result AAX_ERROR_PRINT_FAILURE = -20051;

constexpr AAX_Result AAX_ERROR_PLUGIN_BEGIN = -21000;  // codes a plug-in may define for itself, up to -20600
constexpr AAX_Result AAX_ERROR_PLUGIN_END = -20600;

// The name of a result code: "AAX_SUCCESS", an AAX error name, "plug-in defined error" or
// "<unknown error code>". Any thread.
const char* AAX_ResultName(AAX_Result result);

// The name, a blank and the code in parentheses: "AAX_ERROR_NULL_OBJECT (-20004)". Any thread.
std::string AAX_ResultMessage(AAX_Result result);
