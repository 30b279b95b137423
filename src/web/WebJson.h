#pragma once

#include <QtCore/QString>

struct cJSON;

// Readers of the WeChat server's JSON replies.

// The integer member "expires_in"; 0 when the object or the member is missing or no number.
int GetJsonExpiresIn(const cJSON* object);

// The string member `name`, or with `inner` the string member `inner` of the object member
// `name`; empty when anything is missing or not a string.
QString GetJsonString(const cJSON* object, const char* name, const char* inner = nullptr);
