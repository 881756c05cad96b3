// Host interface as the plug-in sees it: the types, callback forms, constants
// and C functions of the simulator's plug-in API that this plug-in calls.
//
// These are our own declarations, written from the documented calling
// interface (names, argument order, C types), so the same object code links
// against the real host library on Windows and resolves against the host
// process on Linux. Add a declaration here only when code starts calling it.
//
// Every function declared here is imported by the module, and a host without
// one of them refuses to load it: only functions of the oldest host supported
// belong here (the list scripts/check-module.sh holds the built modules to is
// src/module/host_functions.txt).
#pragma once

#include <cstdint>

#if defined(_WIN32) && defined(CORVANE_HOST_SIDE)
// The simulated host's Windows build defines these and exports them from its
// executable, where its XPLM_64.dll finds them.
#define CORVANE_HOST_API extern "C" __declspec(dllexport)
#define CORVANE_EXPORT extern "C" __declspec(dllexport)
#elif defined(_WIN32)
#define CORVANE_HOST_API extern "C" __declspec(dllimport)
#define CORVANE_EXPORT extern "C" __declspec(dllexport)
#else
#define CORVANE_HOST_API extern "C"
#define CORVANE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// ---- opaque handles -------------------------------------------------------
typedef void* XPLMDataRef;
typedef void* XPLMCommandRef;
typedef void* XPLMFlightLoopID;
typedef void* XPLMProbeRef;
typedef void* XPLMObjectRef;
typedef void* XPLMInstanceRef;
typedef int XPLMPluginID;
typedef int XPLMNavRef;
typedef int XPLMNavType;
typedef int XPLMDataTypeID;
typedef int XPLMCommandPhase;
typedef int XPLMDrawingPhase;
typedef int XPLMFlightLoopPhaseType;
typedef int XPLMProbeType;
typedef int XPLMProbeResult;
typedef int XPLMDataFileType;

// ---- constants --------------------------------------------------------------
enum : int {
  xplmType_Unknown = 0,
  xplmType_Int = 1,
  xplmType_Float = 2,
  xplmType_Double = 4,
  xplmType_FloatArray = 8,
  xplmType_IntArray = 16,
  xplmType_Data = 32,
};

enum : int { xplm_CommandBegin = 0, xplm_CommandContinue = 1, xplm_CommandEnd = 2 };

enum : int {
  xplm_FlightLoop_Phase_BeforeFlightModel = 0,
  xplm_FlightLoop_Phase_AfterFlightModel = 1,
};

// The 3D panel's gauge pass: cockpit displays are drawn into the panel texture here.
enum : int { xplm_Phase_Gauges = 45 };

enum : int { xplm_ProbeY = 0 };
enum : int { xplm_ProbeHitTerrain = 0, xplm_ProbeError = 1, xplm_ProbeMissed = 2 };

enum : int { xplm_DataFile_Situation = 1, xplm_DataFile_ReplayMovie = 2 };

enum : int {
  xplm_Nav_Unknown = 0,
  xplm_Nav_Airport = 1,
  xplm_Nav_NDB = 2,
  xplm_Nav_VOR = 4,
  xplm_Nav_ILS = 8,
  xplm_Nav_Localizer = 16,
  xplm_Nav_GlideSlope = 32,
  xplm_Nav_OuterMarker = 64,
  xplm_Nav_MiddleMarker = 128,
  xplm_Nav_InnerMarker = 256,
  xplm_Nav_Fix = 512,
  xplm_Nav_DME = 1024,
  xplm_Nav_LatLon = 2048,
};
constexpr XPLMNavRef XPLM_NAV_NOT_FOUND = -1;

constexpr XPLMPluginID XPLM_NO_PLUGIN_ID = -1;
constexpr XPLMPluginID XPLM_PLUGIN_XPLANE = 0;

// Host messages the plug-in reacts to.
enum : int { XPLM_MSG_PLANE_LOADED = 102, XPLM_MSG_AIRPORT_LOADED = 103 };

// ---- callback forms -----------------------------------------------------------
typedef int (*XPLMGetDatai_f)(void* refcon);
typedef void (*XPLMSetDatai_f)(void* refcon, int value);
typedef float (*XPLMGetDataf_f)(void* refcon);
typedef void (*XPLMSetDataf_f)(void* refcon, float value);
typedef double (*XPLMGetDatad_f)(void* refcon);
typedef void (*XPLMSetDatad_f)(void* refcon, double value);
typedef int (*XPLMGetDatavi_f)(void* refcon, int* values, int offset, int max);
typedef void (*XPLMSetDatavi_f)(void* refcon, int* values, int offset, int count);
typedef int (*XPLMGetDatavf_f)(void* refcon, float* values, int offset, int max);
typedef void (*XPLMSetDatavf_f)(void* refcon, float* values, int offset, int count);
typedef int (*XPLMGetDatab_f)(void* refcon, void* values, int offset, int max);
typedef void (*XPLMSetDatab_f)(void* refcon, void* values, int offset, int count);

typedef int (*XPLMCommandCallback_f)(XPLMCommandRef command, XPLMCommandPhase phase, void* refcon);
typedef float (*XPLMFlightLoop_f)(float elapsed_since_last_call, float elapsed_since_last_flight_loop,
                                  int counter, void* refcon);
typedef int (*XPLMDrawCallback_f)(XPLMDrawingPhase phase, int is_before, void* refcon);

// ---- records ------------------------------------------------------------------
struct XPLMCreateFlightLoop_t {
  int structSize;
  XPLMFlightLoopPhaseType phase;
  XPLMFlightLoop_f callbackFunc;
  void* refcon;
};

struct XPLMProbeInfo_t {
  int structSize;
  float locationX, locationY, locationZ;
  float normalX, normalY, normalZ;
  float velocityX, velocityY, velocityZ;
  int is_wet;
};

struct XPLMDrawInfo_t {
  int structSize;
  float x, y, z;
  float pitch, heading, roll;
};

struct XPLMFixedString150_t {
  char buffer[150];
};

// ---- data access ----------------------------------------------------------------
CORVANE_HOST_API XPLMDataRef XPLMFindDataRef(const char* name);
CORVANE_HOST_API int XPLMGetDatai(XPLMDataRef ref);
CORVANE_HOST_API void XPLMSetDatai(XPLMDataRef ref, int value);
CORVANE_HOST_API float XPLMGetDataf(XPLMDataRef ref);
CORVANE_HOST_API void XPLMSetDataf(XPLMDataRef ref, float value);
CORVANE_HOST_API double XPLMGetDatad(XPLMDataRef ref);
CORVANE_HOST_API void XPLMSetDatad(XPLMDataRef ref, double value);
CORVANE_HOST_API int XPLMGetDatavi(XPLMDataRef ref, int* values, int offset, int max);
CORVANE_HOST_API void XPLMSetDatavi(XPLMDataRef ref, int* values, int offset, int count);
CORVANE_HOST_API int XPLMGetDatavf(XPLMDataRef ref, float* values, int offset, int max);
CORVANE_HOST_API void XPLMSetDatavf(XPLMDataRef ref, float* values, int offset, int count);
CORVANE_HOST_API int XPLMGetDatab(XPLMDataRef ref, void* values, int offset, int max);
CORVANE_HOST_API void XPLMSetDatab(XPLMDataRef ref, void* values, int offset, int count);
CORVANE_HOST_API XPLMDataRef XPLMRegisterDataAccessor(
    const char* name, XPLMDataTypeID type, int writable, XPLMGetDatai_f geti, XPLMSetDatai_f seti,
    XPLMGetDataf_f getf, XPLMSetDataf_f setf, XPLMGetDatad_f getd, XPLMSetDatad_f setd,
    XPLMGetDatavi_f getvi, XPLMSetDatavi_f setvi, XPLMGetDatavf_f getvf, XPLMSetDatavf_f setvf,
    XPLMGetDatab_f getb, XPLMSetDatab_f setb, void* read_refcon, void* write_refcon);
CORVANE_HOST_API void XPLMUnregisterDataAccessor(XPLMDataRef ref);

// ---- commands -----------------------------------------------------------------------
CORVANE_HOST_API XPLMCommandRef XPLMFindCommand(const char* name);
CORVANE_HOST_API XPLMCommandRef XPLMCreateCommand(const char* name, const char* description);
CORVANE_HOST_API void XPLMCommandBegin(XPLMCommandRef command);
CORVANE_HOST_API void XPLMCommandEnd(XPLMCommandRef command);
CORVANE_HOST_API void XPLMCommandOnce(XPLMCommandRef command);
CORVANE_HOST_API void XPLMRegisterCommandHandler(XPLMCommandRef command, XPLMCommandCallback_f handler,
                                                 int before, void* refcon);
CORVANE_HOST_API void XPLMUnregisterCommandHandler(XPLMCommandRef command, XPLMCommandCallback_f handler,
                                                   int before, void* refcon);

// ---- flight loops -----------------------------------------------------------------------
CORVANE_HOST_API void XPLMRegisterFlightLoopCallback(XPLMFlightLoop_f callback, float interval, void* refcon);
CORVANE_HOST_API void XPLMUnregisterFlightLoopCallback(XPLMFlightLoop_f callback, void* refcon);
CORVANE_HOST_API XPLMFlightLoopID XPLMCreateFlightLoop(XPLMCreateFlightLoop_t* params);
CORVANE_HOST_API void XPLMDestroyFlightLoop(XPLMFlightLoopID id);
CORVANE_HOST_API void XPLMScheduleFlightLoop(XPLMFlightLoopID id, float interval, int relative_to_now);

// ---- drawing --------------------------------------------------------------------------
CORVANE_HOST_API int XPLMRegisterDrawCallback(XPLMDrawCallback_f callback, XPLMDrawingPhase phase, int before,
                                              void* refcon);
CORVANE_HOST_API int XPLMUnregisterDrawCallback(XPLMDrawCallback_f callback, XPLMDrawingPhase phase, int before,
                                                void* refcon);
CORVANE_HOST_API void XPLMSetGraphicsState(int fog, int texture_units, int lighting, int alpha_testing,
                                           int alpha_blending, int depth_testing, int depth_writing);

// ---- plug-ins and messages ---------------------------------------------------------------
CORVANE_HOST_API XPLMPluginID XPLMGetMyID(void);
CORVANE_HOST_API void XPLMGetPluginInfo(XPLMPluginID id, char* out_name, char* out_file_path, char* out_signature,
                                        char* out_description);
CORVANE_HOST_API XPLMPluginID XPLMFindPluginBySignature(const char* signature);
CORVANE_HOST_API void XPLMSendMessageToPlugin(XPLMPluginID id, int message, void* param);
CORVANE_HOST_API void XPLMEnableFeature(const char* feature, int enable);

// ---- paths, files, log ---------------------------------------------------------------------
CORVANE_HOST_API void XPLMGetSystemPath(char* out_path);
CORVANE_HOST_API void XPLMDebugString(const char* text);
CORVANE_HOST_API void XPLMGetNthAircraftModel(int index, char* out_file_name, char* out_path);
CORVANE_HOST_API int XPLMGetDirectoryContents(const char* directory, int offset, char* out_names, int buffer_size,
                                              char** out_indices, int index_count, int* out_total,
                                              int* out_returned);
CORVANE_HOST_API int XPLMLoadDataFile(XPLMDataFileType type, const char* path);
CORVANE_HOST_API int XPLMSaveDataFile(XPLMDataFileType type, const char* path);

// ---- scenery --------------------------------------------------------------------------------
CORVANE_HOST_API XPLMProbeRef XPLMCreateProbe(XPLMProbeType type);
CORVANE_HOST_API void XPLMDestroyProbe(XPLMProbeRef probe);
CORVANE_HOST_API XPLMProbeResult XPLMProbeTerrainXYZ(XPLMProbeRef probe, float x, float y, float z,
                                                     XPLMProbeInfo_t* out_info);
CORVANE_HOST_API XPLMObjectRef XPLMLoadObject(const char* path);
CORVANE_HOST_API void XPLMUnloadObject(XPLMObjectRef object);
CORVANE_HOST_API XPLMInstanceRef XPLMCreateInstance(XPLMObjectRef object, const char** datarefs);
CORVANE_HOST_API void XPLMDestroyInstance(XPLMInstanceRef instance);
CORVANE_HOST_API void XPLMInstanceSetPosition(XPLMInstanceRef instance, const XPLMDrawInfo_t* position,
                                              const float* data);
CORVANE_HOST_API void XPLMWorldToLocal(double latitude, double longitude, double altitude, double* out_x,
                                       double* out_y, double* out_z);
CORVANE_HOST_API void XPLMLocalToWorld(double x, double y, double z, double* out_latitude, double* out_longitude,
                                       double* out_altitude);
CORVANE_HOST_API float XPLMGetMagneticVariation(double latitude, double longitude);

// ---- navigation and weather --------------------------------------------------------------------
CORVANE_HOST_API XPLMNavRef XPLMFindNavAid(const char* name_fragment, const char* id_fragment, float* latitude,
                                           float* longitude, int* frequency, XPLMNavType type);
CORVANE_HOST_API void XPLMGetNavAidInfo(XPLMNavRef ref, XPLMNavType* out_type, float* out_latitude,
                                        float* out_longitude, float* out_height, int* out_frequency,
                                        float* out_heading, char* out_id, char* out_name, char* out_reg);

// A host function some hosts lack (the airport weather report of the newer
// hosts): never imported, so the module still loads where it is missing. It is
// looked up by name at start and called through this pointer only when found.
typedef void (*XPLMGetMETARForAirport_f)(const char* airport_id, XPLMFixedString150_t* out_metar);
CORVANE_HOST_API void* XPLMFindSymbol(const char* name);

// ---- entry points the host calls ------------------------------------------------------------------
CORVANE_EXPORT int XPluginStart(char* out_name, char* out_signature, char* out_description);
CORVANE_EXPORT void XPluginStop(void);
CORVANE_EXPORT int XPluginEnable(void);
CORVANE_EXPORT void XPluginDisable(void);
CORVANE_EXPORT void XPluginReceiveMessage(XPLMPluginID from, int message, void* param);
