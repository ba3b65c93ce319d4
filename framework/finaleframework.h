// The framework: one include for a plug-in that uses the whole class library.
#pragma once

#include "bridge/finalepdk.h"

#include "framework/core/basedata.h"
#include "framework/core/collection.h"
#include "framework/core/collectiondata.h"
#include "framework/core/detaildata.h"
#include "framework/core/fcbase.h"
#include "framework/core/iterator.h"
#include "framework/core/otherdata.h"
#include "framework/core/prefsdata.h"

#include "framework/text/fcstring.h"
#include "framework/text/fontinfo.h"
#include "framework/text/fontprefs.h"
#include "framework/text/rawtext.h"
#include "framework/text/textblock.h"

#include "framework/score/cell.h"
#include "framework/score/document.h"
#include "framework/score/eregion.h"
#include "framework/score/group.h"
#include "framework/score/measure.h"
#include "framework/score/multistaff.h"
#include "framework/score/musicregion.h"
#include "framework/score/part.h"
#include "framework/score/staff.h"
#include "framework/score/systemstaff.h"
#include "framework/score/ui.h"
#include "framework/score/undoblock.h"

#include "framework/notation/articulationdef.h"
#include "framework/notation/keysignature.h"
#include "framework/notation/percussionlayoutnote.h"
#include "framework/notation/shapedef.h"
#include "framework/notation/staffstyledef.h"
#include "framework/notation/timesignature.h"
