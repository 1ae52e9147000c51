/* Identifiers of the program's resources, shared by Corvale.rc and the program's code. */
#ifndef CORVALE_RESOURCE_IDS_H
#define CORVALE_RESOURCE_IDS_H

#define IDI_CORVALE 1 /* the program's icon, also the notification-area icon */

/* Every picture below is drawn for 96 dots per inch; the same picture drawn for 192 has its
   identifier plus IDB_LARGE_ARTWORK. */
#define IDB_LARGE_ARTWORK 1000

/* Window artwork. */
#define IDB_CAPTION 101        /* 1600 x 23 caption strip */
#define IDB_BOTTOM_BAR 102     /* 179 x 23 bottom bar */
#define IDB_TOOLBOX_NORMAL 103 /* 61 x 23 tool box of normal mode */
#define IDB_TOOLBOX_MINI 104   /* 61 x 23 tool box of mini mode */
#define IDB_PREFS_STRIP 105    /* 373 x 56 strip behind the preferences' page buttons */

/* The preferences' page button pictures (JPEG): normal look at 201 + 2 * page, hover look next. */
#define IDR_PAGE_PICTURES 201

#endif
