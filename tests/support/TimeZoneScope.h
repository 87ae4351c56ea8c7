#pragma once

#include "app/core/Timestamp.h"

#include <QByteArray>

#include <cstdlib>

// Sets TZ for one test and puts the previous value back afterwards.
class TimeZoneScope {
public:
    explicit TimeZoneScope(const char* zone) : m_had(std::getenv("TZ") != nullptr), m_old(std::getenv("TZ"))
    {
        setenv("TZ", zone, 1);
        RefreshLocalTimeZone();
    }
    ~TimeZoneScope()
    {
        if (m_had)
            setenv("TZ", m_old.constData(), 1);
        else
            unsetenv("TZ");
        RefreshLocalTimeZone();
    }
    TimeZoneScope(const TimeZoneScope&) = delete;
    TimeZoneScope& operator=(const TimeZoneScope&) = delete;

private:
    bool m_had;
    QByteArray m_old;
};
