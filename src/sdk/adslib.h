// The ADS function interface of the CAD host: result buffers, entity names,
// status codes and the functions the module calls. The host implements every
// function declared here; the module only calls them.
#pragma once

#include <cstddef>

typedef double ads_real;
typedef ads_real ads_point[3];
typedef long ads_name[2];
typedef ads_real* ads_pointp;
typedef long* ads_namep;

struct ads_binary {
  short clen;
  char* buf;
};

union ads_u_val {
  ads_real rreal;
  ads_real rpoint[3];
  short rint;
  char* rstring;
  long rlname[2];
  long rlong;
  ads_binary rbinary;
};

struct resbuf {
  struct resbuf* rbnext;
  short restype;
  union ads_u_val resval;
};

// Status codes.
enum {
  RTNONE = 5000,
  RTREAL = 5001,
  RTPOINT = 5002,
  RTSHORT = 5003,
  RTANG = 5004,
  RTSTR = 5005,
  RTENAME = 5006,
  RTPICKS = 5007,
  RTORINT = 5008,
  RT3DPOINT = 5009,
  RTLONG = 5010,
  RTVOID = 5014,
  RTLB = 5016,
  RTLE = 5017,
  RTDXF0 = 5020,
  RTNORM = 5100,
  RTERROR = -5001,
  RTCAN = -5002,
  RTREJ = -5003,
  RTFAIL = -5004,
  RTKWORD = -5005,
};

extern "C" {

// Entity access. Chains returned by acdbEntGet/acdbEntGetX/acdbTblNext belong
// to the caller: every item and every string is malloc'ed, so a string may be
// grown with realloc and the chain is released with acutRelRb.
int acdbEntNext(const ads_name ent, ads_name result);
struct resbuf* acdbEntGet(const ads_name ent);
struct resbuf* acdbEntGetX(const ads_name ent, const struct resbuf* apps);
int acdbEntMod(const struct resbuf* ent);
int acdbEntDel(const ads_name ent);
struct resbuf* acdbTblNext(const char* tblname, int rewind);
struct resbuf* acdbTblSearch(const char* tblname, const char* sym, int setnext);

// Selection sets.
int acedSSGet(const char* str, const void* pt1, const void* pt2, const struct resbuf* filter,
              ads_name ss);
int acedSSLength(const ads_name ss, long* len);
int acedSSName(const ads_name ss, long i, ads_name entres);
int acedSSFree(const ads_name ss);

// User interaction.
int acedEntSel(const char* prompt, ads_name entres, ads_point ptres);
int acedGetVar(const char* sym, struct resbuf* result);
int acutPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Result buffers.
struct resbuf* acutNewRb(int type);
int acutRelRb(struct resbuf* rb);

}  // extern "C"
