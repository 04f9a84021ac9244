// Logging macros with plog's names. A record is built only when the logger
// exists and admits its severity; the record carries the calling function's
// name, or with the _AS forms the operation name the caller gives.
#pragma once

#include "plog/Init.h"
#include "plog/Logger.h"
#include "plog/Record.h"

#ifndef PLOG_DEFAULT_INSTANCE_ID
#define PLOG_DEFAULT_INSTANCE_ID 0
#endif

#define PLOG_GET_FUNC() __func__

#define IF_PLOG_(instanceId, severity) \
    if (!plog::get<instanceId>() || !plog::get<instanceId>()->checkSeverity(severity)) { \
        ;                                                                                  \
    } else
#define PLOG_(instanceId, severity) \
    IF_PLOG_(instanceId, severity)(*plog::get<instanceId>()) += plog::Record(severity, PLOG_GET_FUNC(), __LINE__).ref()
#define PLOG(severity) PLOG_(PLOG_DEFAULT_INSTANCE_ID, severity)
#define PLOG_AS_(instanceId, severity, operation) \
    IF_PLOG_(instanceId, severity)(*plog::get<instanceId>()) += plog::Record(severity, operation, __LINE__).ref()
#define PLOG_AS(severity, operation) PLOG_AS_(PLOG_DEFAULT_INSTANCE_ID, severity, operation)

#define PLOG_VERBOSE PLOG(plog::verbose)
#define PLOG_DEBUG PLOG(plog::debug)
#define PLOG_INFO PLOG(plog::info)
#define PLOG_WARNING PLOG(plog::warning)
#define PLOG_ERROR PLOG(plog::error)
#define PLOG_FATAL PLOG(plog::fatal)

#define PLOGV PLOG_VERBOSE
#define PLOGD PLOG_DEBUG
#define PLOGI PLOG_INFO
#define PLOGW PLOG_WARNING
#define PLOGE PLOG_ERROR
#define PLOGF PLOG_FATAL

// Records that speak for an operation other than the function writing them.
#define PLOGV_AS(operation) PLOG_AS(plog::verbose, operation)
#define PLOGD_AS(operation) PLOG_AS(plog::debug, operation)
#define PLOGI_AS(operation) PLOG_AS(plog::info, operation)
#define PLOGW_AS(operation) PLOG_AS(plog::warning, operation)
#define PLOGE_AS(operation) PLOG_AS(plog::error, operation)
