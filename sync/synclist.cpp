#include "sync/synclist.h"
