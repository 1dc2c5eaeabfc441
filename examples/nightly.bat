@echo off
rem Nightly new-file announcements with movrek32, for Windows.
rem
rem Copy this file, set the values below, and run it once a night with the
rem Task Scheduler, after the file processor has written its new-files list:
rem
rem   schtasks /create /tn movrek32-nightly /sc daily /st 06:30 /tr C:\fido\nightly.bat
rem
rem What needs a look goes to NIGHTLY_LOG (UTF-8, Notepad reads it), and the
rem exit code (the task's "Last Run Result") is not 0; a night that went well
rem writes nothing there. A list goes through two names beside NEWFILES, so
rem that a record is announced once, whatever night it arrives and whatever
rem fails:
rem
rem 1. Take the list: rename NEWFILES to NEWFILES.taken in its own directory.
rem    The file processor starts a new list at once; what it writes from now
rem    on is for the next run. No list, or an empty one: exit code 0.
rem 2. Empty REPORT_DIR, so that no report of an earlier night is left to post.
rem 3. When movrek32-check.exe is installed (beside movrek32.exe or on the
rem    PATH, or named by MOVREK32_CHECK), check the configuration, the
rem    template and the taken list with -s and the main report's name: any
rem    error or warning stops the run with its exit code.
rem 4. Run movrek32 on the taken list in REPORT_DIR. Any exit code but 0:
rem    post nothing, exit with that code.
rem    After a failed check or run the list stays NEWFILES.taken and is taken
rem    again, from the start, on the next run.
rem 5. Rename NEWFILES.taken to NEWFILES.posting: its reports are made.
rem 6. Post every report in REPORT_DIR with POST, and remove each report as
rem    soon as it is posted. A report that cannot be posted stays in
rem    REPORT_DIR, and so does NEWFILES.posting: the next run posts what is
rem    left before it takes a newer list, and gives exit code 1 until then.
rem 7. Move NEWFILES.posting to DONE_DIR with a date stamp.
rem
rem A list left over from an earlier run (NEWFILES.posting, then
rem NEWFILES.taken) is done first; then the new list is taken.
rem
rem REPORT_DIR holds nothing but the reports still to be posted: it is emptied
rem before each run of movrek32. Name the group reports in movrek.cfg without
rem a directory, so that they land there; name headers and footers by full
rem paths, with HEADER and FOOTER lines for the main report and for every
rem group (a group starts with header.txt and footer.txt of the current
rem directory, which is REPORT_DIR). Setup problems (POST not set, MAIN_REPORT
rem with a directory, a directory that cannot be made, a list that cannot be
rem renamed, no date) give exit code 2. The date stamp comes from PowerShell,
rem or else from wmic.

setlocal EnableExtensions DisableDelayedExpansion

rem The new-files list that the file processor writes.
if not defined NEWFILES set "NEWFILES=C:\fido\newfiles.lst"
rem The directory the reports are written to.
if not defined REPORT_DIR set "REPORT_DIR=C:\fido\announce"
rem The name of the main report, which gets the files of every area that no
rem group names.
if not defined MAIN_REPORT set "MAIN_REPORT=newfiles.rpt"
rem Where announced lists are kept, as NAME.YYYYMMDD-HHMMSS.
if not defined DONE_DIR set "DONE_DIR=C:\fido\announced"
rem The command that posts one report to the announcement echo: the report's
rem path is added as its last argument. For example the post command of your
rem tosser, with the echo, the subject and the sender's name; a batch file
rem does as well.
if not defined POST set "POST="
rem The program (or a batch file that runs it).
if not defined MOVREK32 set "MOVREK32=C:\fido\movrek32\movrek32.exe"
rem The checker: when empty, movrek32-check.exe beside movrek32.exe or on the
rem PATH, if there is one; "none" runs no check.
if not defined MOVREK32_CHECK set "MOVREK32_CHECK="
rem The log, beside REPORT_DIR.
if not defined NIGHTLY_LOG set "NIGHTLY_LOG=%REPORT_DIR%\..\movrek32-nightly.log"
rem The messages of movrek32 and movrek32-check in the log: UTF-8.
if not defined MOVREK32_CONSOLE set "MOVREK32_CONSOLE=utf-8"

for %%L in ("%NIGHTLY_LOG%") do set "NIGHTLY_LOG=%%~fL"
set "STAMP="
set "LOGGED="
if not defined POST (
  set "MSG=set POST to the command that posts a report"
  goto :setup_failed
)
for %%F in ("%NEWFILES%") do (
  set "LIST=%%~fF"
  set "LIST_NAME=%%~nxF"
  set "LIST_DIR=%%~dpF"
)
set "TAKEN=%LIST%.taken"
set "POSTING=%LIST%.posting"
if exist "%POSTING%" goto :work
if exist "%TAKEN%" goto :work
if not exist "%LIST%" exit /b 0
for %%F in ("%LIST%") do if "%%~zF" == "0" exit /b 0

:work
rem The results of builtin commands are tested by what they did: cmd does not
rem set ERRORLEVEL for all of them alike.
for %%D in ("%REPORT_DIR%" "%DONE_DIR%") do (
  if not exist "%%~D\" mkdir "%%~D" >nul 2>&1
  if not exist "%%~D\" (
    set "MSG=cannot make the directory %%~fD"
    goto :setup_failed
  )
)
for %%D in ("%REPORT_DIR%") do set "REPORT_DIR=%%~fD"
for %%D in ("%DONE_DIR%") do set "DONE_DIR=%%~fD"
if /i "%LIST_DIR%" == "%REPORT_DIR%\" (
  set "MSG=the list must not lie in REPORT_DIR, which is emptied at every run"
  goto :setup_failed
)
set "REPORT_NAME=%MAIN_REPORT:\=%"
set "REPORT_NAME=%REPORT_NAME:/=%"
set "REPORT_NAME=%REPORT_NAME::=%"
if not "%REPORT_NAME%" == "%MAIN_REPORT%" (
  set "MSG=MAIN_REPORT must be a file name without a directory, so that the report lands in REPORT_DIR"
  goto :setup_failed
)

rem The date stamp, YYYYMMDD-HHMMSS, from PowerShell where there is one, else
rem from wmic: DATE and TIME have the format of the user's locale.
for /f "usebackq delims=" %%S in (`powershell -NoProfile -Command "Get-Date -Format yyyyMMdd-HHmmss" 2^>nul`) do set "STAMP=%%S"
call :valid_stamp
if not errorlevel 1 goto :stamped
set "STAMP="
for /f "skip=1 tokens=1 delims=. " %%S in ('wmic os get LocalDateTime 2^>nul') do if not defined STAMP set "STAMP=%%S"
if defined STAMP set "STAMP=%STAMP:~0,8%-%STAMP:~8%"
call :valid_stamp
if not errorlevel 1 goto :stamped
set "STAMP="
set "MSG=cannot read the date and time from PowerShell or wmic"
goto :setup_failed
:stamped

set "CHECK=%MOVREK32_CHECK%"
if /i "%CHECK%" == "none" goto :found_check
if defined CHECK goto :found_check
for %%P in ("%MOVREK32%") do if exist "%%~dpPmovrek32-check.exe" set "CHECK=%%~dpPmovrek32-check.exe"
if defined CHECK goto :found_check
for %%P in (movrek32-check.exe) do if not "%%~$PATH:P" == "" set "CHECK=%%~$PATH:P"
:found_check
if /i "%CHECK%" == "none" set "CHECK="

set "TMPLOG=%TEMP%\movrek32-nightly-%RANDOM%.log"
rem The rest runs in REPORT_DIR.
pushd "%REPORT_DIR%"
if /i not "%CD%" == "%REPORT_DIR%" (
  set "MSG=cannot change to %REPORT_DIR%"
  goto :setup_failed
)

rem A list left over is done before the new one is taken, and the new one is
rem taken once a run.
set "TOOK="
:next
if exist "%POSTING%" goto :post
if exist "%TAKEN%" goto :make
if defined TOOK goto :done
if not exist "%LIST%" goto :done
for %%F in ("%LIST%") do if "%%~zF" == "0" goto :done
move "%LIST%" "%TAKEN%" >nul 2>&1
set "TOOK=1"
if exist "%TAKEN%" goto :next
set "MSG=cannot rename %LIST% to %TAKEN%"
set "STATUS=2"
goto :failed

:make
del /q /f /a "%REPORT_DIR%\*" >nul 2>&1
for /f "eol=| delims=" %%R in ('dir /b /a-d "%REPORT_DIR%" 2^>nul') do (
  set "MSG=cannot remove the earlier report %REPORT_DIR%\%%R"
  set "STATUS=2"
  goto :failed
)
if not defined CHECK goto :run
cmd /d /c ""%CHECK%" -s "%TAKEN%" "%MAIN_REPORT%"" >"%TMPLOG%" 2>&1
set "STATUS=%ERRORLEVEL%"
if "%STATUS%" == "0" goto :run
call :keep_messages
set "MSG=movrek32-check found a problem (exit code %STATUS%): nothing posted, %TAKEN% is taken again on the next run"
goto :failed
:run
cmd /d /c ""%MOVREK32%" "%TAKEN%" "%MAIN_REPORT%"" >"%TMPLOG%" 2>&1
set "STATUS=%ERRORLEVEL%"
if "%STATUS%" == "0" goto :made
call :keep_messages
set "MSG=movrek32 ended with exit code %STATUS%: nothing posted, %TAKEN% is taken again on the next run"
goto :failed
:made
move "%TAKEN%" "%POSTING%" >nul 2>&1
if exist "%POSTING%" goto :next
set "MSG=cannot rename %TAKEN% to %POSTING%: nothing posted"
set "STATUS=2"
goto :failed

:post
type nul >"%TMPLOG%"
type nul >"%TMPLOG%.failed"
set "STATUS=0"
for /f "eol=| delims=" %%R in ('dir /b /a-d /o:n "%REPORT_DIR%" 2^>nul') do call :post_one "%%R"
if not "%STATUS%" == "0" goto :failed
for %%F in ("%TMPLOG%.failed") do if not "%%~zF" == "0" goto :post_failed
set "KEPT=%DONE_DIR%\%LIST_NAME%.%STAMP%"
set "N=1"
:unique
if not exist "%KEPT%" goto :keep
set "KEPT=%DONE_DIR%\%LIST_NAME%.%STAMP%.%N%"
set /a N+=1
goto :unique
:keep
move "%POSTING%" "%KEPT%" >nul 2>&1
if not exist "%POSTING%" goto :next
set "MSG=cannot move %POSTING% to %DONE_DIR%: its reports are posted"
set "STATUS=2"
goto :failed
:post_failed
call :keep_messages
type "%TMPLOG%.failed"
type "%TMPLOG%.failed" >>"%NIGHTLY_LOG%" 2>nul
set "STATUS=1"
goto :end

:failed
call :say
goto :end
:done
set "STATUS=0"
:end
popd
del "%TMPLOG%" "%TMPLOG%.failed" >nul 2>&1
exit /b %STATUS%

:setup_failed
call :say
exit /b 2

rem Posts the report %1 of REPORT_DIR and removes it; a report that cannot
rem be posted is named in TMPLOG.failed.
:post_one
if not "%STATUS%" == "0" exit /b 0
cmd /d /c "%POST% "%REPORT_DIR%\%~1"" >>"%TMPLOG%" 2>&1
if "%ERRORLEVEL%" == "0" goto :posted
set "MSG=posting %~1 failed: it stays in %REPORT_DIR% and is posted on the next run"
call :line "%TMPLOG%.failed"
exit /b 0
:posted
del "%REPORT_DIR%\%~1" >nul 2>&1
if not exist "%REPORT_DIR%\%~1" exit /b 0
set "MSG=%REPORT_DIR%\%~1 is posted but cannot be removed: remove it, or it is posted again"
set "STATUS=2"
exit /b 0

rem ERRORLEVEL 0 when STAMP is YYYYMMDD-HHMMSS.
:valid_stamp
if not defined STAMP exit /b 1
if not "%STAMP:~15%" == "" exit /b 1
if "%STAMP:~14%" == "" exit /b 1
if not "%STAMP:~8,1%" == "-" exit /b 1
for /f "delims=0123456789" %%X in ("%STAMP:~0,8%%STAMP:~9%") do exit /b 1
exit /b 0

rem The messages of the step that failed go to the log.
:keep_messages
call :log_header
type "%TMPLOG%" >>"%NIGHTLY_LOG%" 2>nul
exit /b 0

rem Every run that writes to the log starts with the date and time.
:log_header
if defined LOGGED exit /b 0
set "LOGGED=1"
>>"%NIGHTLY_LOG%" echo == %DATE% %TIME%
exit /b 0

rem Shows MSG and writes it to the log, whatever characters it holds.
:say
call :log_header
setlocal EnableDelayedExpansion
echo nightly: !MSG!
>>"!NIGHTLY_LOG!" echo nightly: !MSG!
endlocal
exit /b 0

rem Appends "nightly: MSG" to the file %1.
:line
setlocal EnableDelayedExpansion
>>"%~1" echo nightly: !MSG!
endlocal
exit /b 0
