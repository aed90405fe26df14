unit Main;

interface

uses
  SysUtils, OldUtils,
  Widgets;

type
  TMainForm = class(TForm)
    OkButton: TOldButton;
    Panel: TOldPanel;
    procedure ShowTitle;
  end;

implementation

procedure TMainForm.ShowTitle;
begin
  Caption := 'Widgets 5 demo';
  OldUtils.Beep;
end;

end.
