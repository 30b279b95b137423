#include "WebJson.h"

#include <cjson/cJSON.h>

int GetJsonExpiresIn(const cJSON* object)
{
    const cJSON* member = object ? cJSON_GetObjectItemCaseSensitive(object, "expires_in") : nullptr;
    return cJSON_IsNumber(member) ? member->valueint : 0;
}

QString GetJsonString(const cJSON* object, const char* name, const char* inner)
{
    if (!object || !name)
        return QString();
    const cJSON* member = cJSON_GetObjectItemCaseSensitive(object, name);
    if (inner)
        member = cJSON_IsObject(member) ? cJSON_GetObjectItemCaseSensitive(member, inner) : nullptr;
    const char* text = cJSON_GetStringValue(member);
    return text ? QString::fromUtf8(text) : QString();
}
