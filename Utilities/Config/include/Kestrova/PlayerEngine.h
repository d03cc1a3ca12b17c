/*
 * PlayerEngine.h - the running player as the configuration module sees it.
 *
 * A player hands Config.dll its PlayerHost through DoConfig(host, parent).
 * Everything here belongs to the player: the module never creates, owns or
 * frees these objects and keeps no pointer to them beyond one operation.
 *
 * Binary contract (the player is usually built with another compiler than
 * the module):
 *   - every interface is an abstract class with single inheritance, called
 *     only through its virtual operations, in declaration order;
 *   - no virtual destructors (their place in the table differs between
 *     compilers) and no overloaded virtuals (their order differs too); the
 *     destructors are protected so nobody deletes through an interface;
 *   - no standard-library types cross this boundary; structs hold plain C
 *     fields only;
 *   - texts are 8-bit ANSI, NUL-terminated.
 */
#ifndef KESTROVA_PLAYER_ENGINE_H
#define KESTROVA_PLAYER_ENGINE_H

#ifdef __cplusplus

/* One full-screen mode of a render driver. The module reads width and
   height only; the remaining fields are the player's. */
struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
    int refreshRate;
};

/* Capability bit: the driver can be offered to the user at all. */
enum { RENDER_DRIVER_CAP_USABLE = 0x00000001 };

/* Description of one render driver, read only. */
struct RenderDriverDesc {
    const char* name;                /* shown in the driver list; may be null */
    int hardware;                    /* non-zero: hardware (accelerated) driver */
    unsigned int capabilities;       /* RENDER_DRIVER_CAP_* flags */
    const DisplayMode* displayModes; /* displayModeCount entries, in order */
    int displayModeCount;
};

/* One live render context of the player. A driver switch is always the
   four calls BeginDriverChange, SetDriver, Reconfigure(0,0,0,0,0),
   EndDriverChange, in that order. */
class RenderContext {
public:
    virtual int GetDriverIndex() = 0;
    virtual void BeginDriverChange() = 0;
    virtual void SetDriver(int driverIndex) = 0;
    virtual void Reconfigure(int a, int b, int c, int d, int e) = 0;
    virtual void EndDriverChange() = 0;

protected:
    ~RenderContext() {}
};

class RenderManager {
public:
    virtual int GetDriverCount() = 0;
    virtual RenderDriverDesc* GetDriverDesc(int driverIndex) = 0;
    virtual int GetRenderContextCount() = 0;
    virtual RenderContext* GetRenderContext(int contextIndex) = 0;

protected:
    ~RenderManager() {}
};

class EngineContext {
public:
    /* Null when the player has no render manager. */
    virtual RenderManager* QueryRenderManager() = 0;

protected:
    ~EngineContext() {}
};

/* The object passed to DoConfig. Every engine access of the module lies
   between AcquireContext and ReleaseContext; ReleaseContext is called once
   per AcquireContext on every path. Pairs nest. */
class PlayerHost {
public:
    virtual EngineContext* AcquireContext() = 0;
    virtual void ReleaseContext() = 0;

protected:
    ~PlayerHost() {}
};

#endif /* __cplusplus */

#ifdef _WIN32
/* The module's one export, found by name with GetProcAddress(module,
   "DoConfig"). Shows the settings dialog modally over parent and returns 1
   when the user closed it, or the failure value of DialogBoxParamA when the
   dialog could not be created (the host must have initialised the common
   controls first). */
struct HWND__;
#ifdef __cplusplus
typedef int(__cdecl* DoConfigFunction)(PlayerHost* host, struct HWND__* parent);
#endif
#endif

#endif /* KESTROVA_PLAYER_ENGINE_H */
