@echo off
rem Vantrel on a simulated sub board: starts the simulator, waits until the
rem companion finds it, starts Vantrel on it and ends the simulator once
rem Vantrel is closed.
setlocal
cd /d "%~dp0"
set "VANTREL_DEVICE=\\.\pipe\hid#vid_5e3a&pid_fffd#sim#{4d1e55b2-f16f-11cf-88cb-001111000030}"
start "" /b vantrel-sim.exe
set tries=0
:wait
vantrel-cli.exe list >nul 2>&1
if not errorlevel 1 goto run
set /a tries+=1
if %tries% geq 100 goto nosim
goto wait
:run
start "" /wait Vantrel.exe
taskkill /f /im vantrel-sim.exe >nul 2>&1
exit /b 0
:nosim
echo The simulated sub board did not start.
taskkill /f /im vantrel-sim.exe >nul 2>&1
exit /b 1
