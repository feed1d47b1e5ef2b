// The IFO object model in one include: every table object, the builders and the stream usage.
#pragma once

#include "core/bcd_frames.h"
#include "core/ifo_builders.h"
#include "core/ifo_classes_address.h"
#include "core/ifo_classes_attr.h"
#include "core/ifo_classes_common.h"
#include "core/ifo_classes_mat.h"
#include "core/ifo_classes_pgc.h"
#include "core/ifo_classes_pgci.h"
#include "core/ifo_classes_ptt.h"
#include "core/ifo_classes_tmap.h"
#include "core/ifo_classes_tt_srpt.h"
#include "core/ifo_classes_vts_atrt.h"
#include "core/ifo_stream_usage.h"
