/*
 * A virtual sub board for the tests: a HID minidriver that carries reports
 * between the HID class driver and a simulated board served on a named pipe
 * (vantrel-sim or a test's own CPipeServer). It holds no board behaviour.
 *
 * Each device instance reads three values from its device key (written by
 * vantrel-vboard before the driver starts): Pipe (the pipe's name under
 * \\.\pipe\), Product and Serial (its HID strings). A system thread opens the
 * pipe, reads 65-byte messages (report id 0 and 64 bytes) and completes the
 * class driver's pended reads with the 64 bytes; writes go to the pipe as
 * 65-byte messages. On removal the thread cancels its read, closes the pipe
 * and ends, and every pended read fails.
 *
 * MinGW-w64 has no ddk/hidport.h and its ddk/hidclass.h carries wrong
 * IOCTL_HID_* values, so what this driver needs of the HID port interface
 * is declared here.
 */
#include <ntifs.h>

/* ------------------------------------------------------------ HID port interface */

#define HID_CTL_CODE(id) CTL_CODE(FILE_DEVICE_KEYBOARD, (id), METHOD_NEITHER, FILE_ANY_ACCESS)
#define IOCTL_HID_GET_DEVICE_DESCRIPTOR HID_CTL_CODE(0)
#define IOCTL_HID_GET_REPORT_DESCRIPTOR HID_CTL_CODE(1)
#define IOCTL_HID_READ_REPORT HID_CTL_CODE(2)
#define IOCTL_HID_WRITE_REPORT HID_CTL_CODE(3)
#define IOCTL_HID_GET_STRING HID_CTL_CODE(4)
#define IOCTL_HID_ACTIVATE_DEVICE HID_CTL_CODE(7)
#define IOCTL_HID_DEACTIVATE_DEVICE HID_CTL_CODE(8)
#define IOCTL_HID_GET_DEVICE_ATTRIBUTES HID_CTL_CODE(9)

#define HID_STRING_ID_IMANUFACTURER 14
#define HID_STRING_ID_IPRODUCT 15
#define HID_STRING_ID_ISERIALNUMBER 16

#define HID_REVISION 1
#define HID_HID_DESCRIPTOR_TYPE 0x21
#define HID_REPORT_DESCRIPTOR_TYPE 0x22

typedef struct {
    ULONG Revision;
    PDRIVER_OBJECT DriverObject;
    PUNICODE_STRING RegistryPath;
    ULONG DeviceExtensionSize;
    BOOLEAN DevicesArePolled;
    UCHAR Reserved[3];
} HID_MINIDRIVER_REGISTRATION;

typedef struct {
    PDEVICE_OBJECT PhysicalDeviceObject;
    PDEVICE_OBJECT NextDeviceObject;
    PVOID MiniDeviceExtension;
} HID_DEVICE_EXTENSION;

typedef struct {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
    USHORT Reserved[11];
} HID_DEVICE_ATTRIBUTES;

#include <pshpack1.h>
typedef struct {
    UCHAR bLength;
    UCHAR bDescriptorType;
    USHORT bcdHID;
    UCHAR bCountry;
    UCHAR bNumDescriptors;
    UCHAR bReportType;
    USHORT wReportLength;
} HID_DESCRIPTOR;
#include <poppack.h>

typedef struct {
    PUCHAR reportBuffer;
    ULONG reportBufferLen;
    UCHAR reportId;
} HID_XFER_PACKET;

NTSTATUS NTAPI HidRegisterMinidriver(HID_MINIDRIVER_REGISTRATION* registration);

/* ------------------------------------------------------------ the board's identity */

#define BOARD_VENDOR 0x5E3A
#define BOARD_PRODUCT 0xFFFD
#define PAYLOAD_SIZE 64
#define REPORT_SIZE (PAYLOAD_SIZE + 1) /* with the report id byte */
#define TEXT_CHARS 127                 /* the HID class's string limit, and a NUL */

/* One vendor-defined collection: 64 input bytes, 64 output bytes, no report ids. */
static const UCHAR kReportDescriptor[] = {
    0x06, 0x00, 0xFF,       /* Usage Page (vendor 0xFF00) */
    0x09, 0x01,             /* Usage (1) */
    0xA1, 0x01,             /* Collection (Application) */
    0x15, 0x00,             /*   Logical Minimum (0) */
    0x26, 0xFF, 0x00,       /*   Logical Maximum (255) */
    0x75, 0x08,             /*   Report Size (8) */
    0x95, PAYLOAD_SIZE,     /*   Report Count (64) */
    0x09, 0x01,             /*   Usage (1) */
    0x81, 0x02,             /*   Input (Data, Variable, Absolute) */
    0x95, PAYLOAD_SIZE,     /*   Report Count (64) */
    0x09, 0x01,             /*   Usage (1) */
    0x91, 0x02,             /*   Output (Data, Variable, Absolute) */
    0xC0,                   /* End Collection */
};

static const WCHAR kManufacturer[] = L"Vantrel test fixture";

/* A write the board does not take within this long fails (a stalled board). */
#define WRITE_TIMEOUT_MS 2000
/* How often the thread tries the pipe while the simulator is not serving it. */
#define OPEN_RETRY_MS 20

typedef struct {
    WCHAR pipeName[TEXT_CHARS];
    WCHAR product[TEXT_CHARS];
    WCHAR serial[TEXT_CHARS];
    HANDLE thread;
    HANDLE stopEvent;   /* set once at removal */
    HANDLE readQueued;  /* a read IRP was pended */
    HANDLE pipe;        /* published once by the thread, closed by it at its end */
    LIST_ENTRY pendingReads; /* under the cancel spin lock */
    volatile LONG removed;
} BOARD;

static BOARD* BoardOf(PDEVICE_OBJECT device)
{
    return (BOARD*)((HID_DEVICE_EXTENSION*)device->DeviceExtension)->MiniDeviceExtension;
}

static LARGE_INTEGER Milliseconds(LONG ms)
{
    LARGE_INTEGER t;
    t.QuadPart = -10000LL * ms;
    return t;
}

static NTSTATUS CompleteIrp(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

/* ------------------------------------------------------------ set-up from the device key */

static void ReadText(HANDLE key, const WCHAR* name, WCHAR* out)
{
    UCHAR buffer[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + TEXT_CHARS * sizeof(WCHAR)];
    KEY_VALUE_PARTIAL_INFORMATION* value = (KEY_VALUE_PARTIAL_INFORMATION*)buffer;
    UNICODE_STRING valueName;
    ULONG length = 0;
    RtlInitUnicodeString(&valueName, name);
    out[0] = 0;
    if (!NT_SUCCESS(ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, buffer, sizeof buffer, &length)))
        return;
    if (value->Type != REG_SZ) return;
    ULONG chars = value->DataLength / sizeof(WCHAR);
    if (chars >= TEXT_CHARS) chars = TEXT_CHARS - 1;
    RtlCopyMemory(out, value->Data, chars * sizeof(WCHAR));
    out[chars] = 0;
}

static void ReadSetUp(BOARD* board, PDEVICE_OBJECT pdo)
{
    HANDLE key = NULL;
    if (!NT_SUCCESS(IoOpenDeviceRegistryKey(pdo, PLUGPLAY_REGKEY_DEVICE, KEY_READ, &key))) {
        DbgPrint("vantrel-vboard: no device key\n");
        return;
    }
    ReadText(key, L"Pipe", board->pipeName);
    ReadText(key, L"Product", board->product);
    ReadText(key, L"Serial", board->serial);
    ZwClose(key);
}

/* ------------------------------------------------------------ pended reads */

static void NTAPI CancelRead(PDEVICE_OBJECT device, PIRP irp)
{
    (void)device;
    RemoveEntryList(&irp->Tail.Overlay.ListEntry);
    IoReleaseCancelSpinLock(irp->CancelIrql);
    CompleteIrp(irp, STATUS_CANCELLED, 0);
}

static NTSTATUS QueueRead(BOARD* board, PIRP irp)
{
    KIRQL irql;
    IoAcquireCancelSpinLock(&irql);
    if (board->removed) {
        IoReleaseCancelSpinLock(irql);
        return CompleteIrp(irp, STATUS_DELETE_PENDING, 0);
    }
    IoSetCancelRoutine(irp, CancelRead);
    if (irp->Cancel && IoSetCancelRoutine(irp, NULL)) {
        IoReleaseCancelSpinLock(irql);
        return CompleteIrp(irp, STATUS_CANCELLED, 0);
    }
    IoMarkIrpPending(irp);
    InsertTailList(&board->pendingReads, &irp->Tail.Overlay.ListEntry);
    IoReleaseCancelSpinLock(irql);
    ZwSetEvent(board->readQueued, NULL);
    return STATUS_PENDING;
}

/* The oldest pended read that is not being cancelled, taken off the list. */
static PIRP TakeRead(BOARD* board)
{
    PIRP taken = NULL;
    KIRQL irql;
    IoAcquireCancelSpinLock(&irql);
    for (PLIST_ENTRY e = board->pendingReads.Flink; e != &board->pendingReads; e = e->Flink) {
        PIRP irp = CONTAINING_RECORD(e, IRP, Tail.Overlay.ListEntry);
        if (IoSetCancelRoutine(irp, NULL)) {
            RemoveEntryList(e);
            taken = irp;
            break;
        }
    }
    IoReleaseCancelSpinLock(irql);
    return taken;
}

static void FailAllReads(BOARD* board)
{
    PIRP irp;
    while ((irp = TakeRead(board)) != NULL) CompleteIrp(irp, STATUS_DELETE_PENDING, 0);
}

/* ------------------------------------------------------------ the pipe thread */

static HANDLE OpenPipe(const BOARD* board)
{
    WCHAR path[TEXT_CHARS + 16] = L"\\??\\pipe\\";
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES attributes;
    IO_STATUS_BLOCK io;
    HANDLE pipe = NULL;
    size_t at = wcslen(path);
    RtlCopyMemory(path + at, board->pipeName, (wcslen(board->pipeName) + 1) * sizeof(WCHAR));
    RtlInitUnicodeString(&name, path);
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    /* No FILE_SYNCHRONOUS_IO_* option: reads and writes complete through events. */
    if (!NT_SUCCESS(ZwCreateFile(&pipe, GENERIC_READ | GENERIC_WRITE | SYNCHRONIZE, &attributes, &io, NULL, 0, 0,
                                 FILE_OPEN, 0, NULL, 0)))
        return NULL;
    /* One message per read, as a HID device gives one report per read. */
    FILE_PIPE_INFORMATION mode;
    mode.ReadMode = FILE_PIPE_MESSAGE_MODE;
    mode.CompletionMode = FILE_PIPE_QUEUE_OPERATION;
    ZwSetInformationFile(pipe, &io, &mode, sizeof mode, FilePipeInformation);
    return pipe;
}

/* Waits for the event or the board's removal; TRUE when the event came. */
static BOOLEAN WaitFor(BOARD* board, HANDLE event)
{
    HANDLE handles[2] = {board->stopEvent, event};
    return ZwWaitForMultipleObjects(2, handles, WaitAny, FALSE, NULL) == STATUS_WAIT_0 + 1;
}

/* Hands one input report to the next pended read; FALSE at removal. */
static BOOLEAN Deliver(BOARD* board, const UCHAR* payload)
{
    for (;;) {
        PIRP irp = TakeRead(board);
        if (irp) {
            PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
            ULONG size = stack->Parameters.DeviceIoControl.OutputBufferLength;
            if (size > PAYLOAD_SIZE) size = PAYLOAD_SIZE;
            RtlCopyMemory(irp->UserBuffer, payload, size);
            CompleteIrp(irp, STATUS_SUCCESS, size);
            return TRUE;
        }
        if (!WaitFor(board, board->readQueued)) return FALSE;
    }
}

static void Serve(BOARD* board, HANDLE readDone)
{
    /* Exactly one report per read, whether the pipe reads in message mode
       or (where the mode cannot be set) in byte mode. */
    UCHAR message[REPORT_SIZE];
    for (;;) {
        IO_STATUS_BLOCK io;
        io.Status = STATUS_PENDING;
        io.Information = 0;
        NTSTATUS status = ZwReadFile(board->pipe, readDone, NULL, NULL, &io, message, sizeof message, NULL, NULL);
        if (status == STATUS_PENDING) {
            if (!WaitFor(board, readDone)) {
                IO_STATUS_BLOCK cancel;
                ZwCancelIoFile(board->pipe, &cancel);
                ZwWaitForSingleObject(readDone, FALSE, NULL);
                return;
            }
            status = io.Status;
        }
        /* A longer message: its first 65 bytes are dropped below, the rest read as noise. */
        if (status == STATUS_BUFFER_OVERFLOW) continue;
        /* The simulator ended: the board is dead until it is unplugged. */
        if (!NT_SUCCESS(status)) return;
        /* A HID device has one input report size: anything else never reaches the host. */
        if (io.Information != REPORT_SIZE || message[0] != 0) continue;
        if (!Deliver(board, message + 1)) return;
    }
}

static void NTAPI BoardThread(PVOID context)
{
    BOARD* board = (BOARD*)context;
    HANDLE pipe = NULL;
    while (!(pipe = OpenPipe(board))) {
        LARGE_INTEGER retry = Milliseconds(OPEN_RETRY_MS);
        if (ZwWaitForSingleObject(board->stopEvent, FALSE, &retry) == STATUS_SUCCESS) break;
    }
    if (pipe) {
        HANDLE readDone = NULL;
        InterlockedExchangePointer(&board->pipe, pipe);
        if (NT_SUCCESS(ZwCreateEvent(&readDone, EVENT_ALL_ACCESS, NULL, NotificationEvent, FALSE))) {
            Serve(board, readDone);
            ZwClose(readDone);
        }
        /* Writes may still be under way until removal: the handle goes at the end. */
        ZwWaitForSingleObject(board->stopEvent, FALSE, NULL);
        InterlockedExchangePointer(&board->pipe, NULL);
        ZwClose(pipe);
    }
    PsTerminateSystemThread(STATUS_SUCCESS);
}

/* ------------------------------------------------------------ writes */

static NTSTATUS WriteReport(BOARD* board, PIRP irp)
{
    const HID_XFER_PACKET* packet = (const HID_XFER_PACKET*)irp->UserBuffer;
    UCHAR report[REPORT_SIZE] = {0};
    HANDLE pipe = board->pipe;
    HANDLE done = NULL;
    IO_STATUS_BLOCK io;
    if (!packet || !packet->reportBuffer) return CompleteIrp(irp, STATUS_INVALID_PARAMETER, 0);
    /* The class driver hands the 64 bytes, or 65 with the report id in front. */
    if (packet->reportBufferLen == REPORT_SIZE) {
        RtlCopyMemory(report, packet->reportBuffer, REPORT_SIZE);
    } else {
        ULONG n = packet->reportBufferLen < PAYLOAD_SIZE ? packet->reportBufferLen : PAYLOAD_SIZE;
        report[0] = packet->reportId;
        RtlCopyMemory(report + 1, packet->reportBuffer, n);
    }
    if (board->removed || !pipe) return CompleteIrp(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
    if (!NT_SUCCESS(ZwCreateEvent(&done, EVENT_ALL_ACCESS, NULL, NotificationEvent, FALSE)))
        return CompleteIrp(irp, STATUS_INSUFFICIENT_RESOURCES, 0);
    io.Status = STATUS_PENDING;
    io.Information = 0;
    NTSTATUS status = ZwWriteFile(pipe, done, NULL, NULL, &io, report, REPORT_SIZE, NULL, NULL);
    if (status == STATUS_PENDING) {
        LARGE_INTEGER limit = Milliseconds(WRITE_TIMEOUT_MS);
        if (ZwWaitForSingleObject(done, FALSE, &limit) != STATUS_SUCCESS) {
            IO_STATUS_BLOCK cancel;
            ZwCancelIoFile(pipe, &cancel);
            ZwWaitForSingleObject(done, FALSE, NULL);
            ZwClose(done);
            return CompleteIrp(irp, STATUS_IO_TIMEOUT, 0);
        }
        status = io.Status;
    }
    ZwClose(done);
    if (!NT_SUCCESS(status)) return CompleteIrp(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
    /* The count the writer sees: the whole report with its id byte. */
    return CompleteIrp(irp, STATUS_SUCCESS, REPORT_SIZE);
}

/* ------------------------------------------------------------ the class driver's requests */

static NTSTATUS CopyOut(PIRP irp, const void* data, ULONG size)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (stack->Parameters.DeviceIoControl.OutputBufferLength < size)
        return CompleteIrp(irp, STATUS_BUFFER_TOO_SMALL, 0);
    RtlCopyMemory(irp->UserBuffer, data, size);
    return CompleteIrp(irp, STATUS_SUCCESS, size);
}

static NTSTATUS GetString(BOARD* board, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const WCHAR* text;
    switch ((ULONG_PTR)stack->Parameters.DeviceIoControl.Type3InputBuffer & 0xFFFF) {
    /* Wine 8's class driver asks with 1, 2 and 3 (its own header's values). */
    case HID_STRING_ID_IMANUFACTURER:
    case 1: text = kManufacturer; break;
    case HID_STRING_ID_IPRODUCT:
    case 2: text = board->product; break;
    case HID_STRING_ID_ISERIALNUMBER:
    case 3: text = board->serial; break;
    default: return CompleteIrp(irp, STATUS_INVALID_PARAMETER, 0);
    }
    return CopyOut(irp, text, (ULONG)((wcslen(text) + 1) * sizeof(WCHAR)));
}

static NTSTATUS NTAPI InternalIoctl(PDEVICE_OBJECT device, PIRP irp)
{
    BOARD* board = BoardOf(device);
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_HID_GET_DEVICE_DESCRIPTOR: {
        HID_DESCRIPTOR descriptor = {sizeof(HID_DESCRIPTOR), HID_HID_DESCRIPTOR_TYPE, 0x0111, 0, 1,
                                     HID_REPORT_DESCRIPTOR_TYPE, sizeof kReportDescriptor};
        return CopyOut(irp, &descriptor, sizeof descriptor);
    }
    case IOCTL_HID_GET_REPORT_DESCRIPTOR: return CopyOut(irp, kReportDescriptor, sizeof kReportDescriptor);
    case IOCTL_HID_GET_DEVICE_ATTRIBUTES: {
        HID_DEVICE_ATTRIBUTES attributes = {sizeof(HID_DEVICE_ATTRIBUTES), BOARD_VENDOR, BOARD_PRODUCT, 0x0100, {0}};
        return CopyOut(irp, &attributes, sizeof attributes);
    }
    case IOCTL_HID_GET_STRING: return GetString(board, irp);
    case IOCTL_HID_READ_REPORT: return QueueRead(board, irp);
    case IOCTL_HID_WRITE_REPORT: return WriteReport(board, irp);
    case IOCTL_HID_ACTIVATE_DEVICE:
    case IOCTL_HID_DEACTIVATE_DEVICE: return CompleteIrp(irp, STATUS_SUCCESS, 0);
    default: return CompleteIrp(irp, STATUS_NOT_SUPPORTED, 0);
    }
}

/* ------------------------------------------------------------ Plug and Play */

static NTSTATUS StartBoard(BOARD* board)
{
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, NULL, OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwCreateEvent(&board->stopEvent, EVENT_ALL_ACCESS, NULL, NotificationEvent, FALSE)) ||
        !NT_SUCCESS(ZwCreateEvent(&board->readQueued, EVENT_ALL_ACCESS, NULL, SynchronizationEvent, FALSE)))
        return STATUS_INSUFFICIENT_RESOURCES;
    return PsCreateSystemThread(&board->thread, THREAD_ALL_ACCESS, &attributes, NULL, NULL, BoardThread, board);
}

/* Removal, surprise or orderly: the thread ends and nothing stays pended. */
static void StopBoard(BOARD* board)
{
    if (InterlockedExchange(&board->removed, 1)) return;
    if (board->stopEvent) ZwSetEvent(board->stopEvent, NULL);
    if (board->thread) {
        ZwWaitForSingleObject(board->thread, FALSE, NULL);
        ZwClose(board->thread);
        board->thread = NULL;
    }
    FailAllReads(board);
}

static void FreeBoard(BOARD* board)
{
    if (board->stopEvent) ZwClose(board->stopEvent);
    if (board->readQueued) ZwClose(board->readQueued);
    board->stopEvent = board->readQueued = NULL;
}

static NTSTATUS NTAPI Pnp(PDEVICE_OBJECT device, PIRP irp)
{
    HID_DEVICE_EXTENSION* ext = (HID_DEVICE_EXTENSION*)device->DeviceExtension;
    BOARD* board = BoardOf(device);
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    switch (stack->MinorFunction) {
    case IRP_MN_START_DEVICE: {
        NTSTATUS status = StartBoard(board);
        if (!NT_SUCCESS(status)) {
            StopBoard(board);
            FreeBoard(board);
            return CompleteIrp(irp, status, 0);
        }
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    }
    case IRP_MN_SURPRISE_REMOVAL:
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
    case IRP_MN_STOP_DEVICE:
    case IRP_MN_QUERY_STOP_DEVICE:
    case IRP_MN_CANCEL_STOP_DEVICE:
        if (stack->MinorFunction == IRP_MN_SURPRISE_REMOVAL) StopBoard(board);
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    case IRP_MN_REMOVE_DEVICE:
        StopBoard(board);
        FreeBoard(board);
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    default: break;
    }
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(ext->NextDeviceObject, irp);
}

static NTSTATUS NTAPI Power(PDEVICE_OBJECT device, PIRP irp)
{
    HID_DEVICE_EXTENSION* ext = (HID_DEVICE_EXTENSION*)device->DeviceExtension;
    PoStartNextPowerIrp(irp);
    IoSkipCurrentIrpStackLocation(irp);
    return PoCallDriver(ext->NextDeviceObject, irp);
}

static NTSTATUS NTAPI AddDevice(PDRIVER_OBJECT driver, PDEVICE_OBJECT device)
{
    HID_DEVICE_EXTENSION* ext = (HID_DEVICE_EXTENSION*)device->DeviceExtension;
    BOARD* board = BoardOf(device);
    (void)driver;
    RtlZeroMemory(board, sizeof *board);
    InitializeListHead(&board->pendingReads);
    ReadSetUp(board, ext->PhysicalDeviceObject);
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

static void NTAPI Unload(PDRIVER_OBJECT driver)
{
    (void)driver;
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    HID_MINIDRIVER_REGISTRATION registration;
    RtlZeroMemory(&registration, sizeof registration);
    registration.Revision = HID_REVISION;
    registration.DriverObject = driver;
    registration.RegistryPath = registryPath;
    registration.DeviceExtensionSize = sizeof(BOARD);
    registration.DevicesArePolled = FALSE;

    driver->DriverExtension->AddDevice = AddDevice;
    driver->DriverUnload = Unload;
    driver->MajorFunction[IRP_MJ_PNP] = Pnp;
    driver->MajorFunction[IRP_MJ_POWER] = Power;
    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = InternalIoctl;
    return HidRegisterMinidriver(&registration);
}
